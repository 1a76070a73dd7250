#include "ui/qt/dialog_view.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "lib/ui/browse.h"
#include "lib/ui/picture.h"
#include "lib/ui/tree.h"
#include "ui/qt/browse_model.h"
#include "ui/qt/tree_view.h"

namespace qz {

DialogView::DialogView(WDIAG& w, QWidget* parent) : QWidget(parent), w_(w) {
  const DialogTemplate* t = w_.dialog_template();
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(12, 12, 12, 12);
  if (t) {
    outer->addWidget(Build(t->root));
    if (t->min_width > 0) setMinimumWidth(t->min_width * CharWidth());
  }
  setWindowTitle(QString::fromUtf8(w_.title()));
  w_.SetView(this);
  for (const auto& [id, widget] : widgets_) {
    if (const ControlState* c = w_.Control(id)) Show(*c);
  }
  // --- focus: the control the screen chose before its view existed (on
  // WM_INITDIALOG) has the focus when the window shows.
  ApplyFocus();
}

void DialogView::ApplyFocus() {
  if (QWidget* wgt = widget(w_.focus())) {
    wgt->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(wgt)) e->selectAll();
  }
}

DialogView::~DialogView() {
  if (w_.view() == this) w_.SetView(nullptr);
}

int DialogView::CharWidth() const {
  return fontMetrics().averageCharWidth();
}

QWidget* DialogView::widget(int id) const {
  auto it = widgets_.find(id);
  return it == widgets_.end() ? nullptr : it->second;
}

QWidget* DialogView::Build(const TemplateNode& n) {
  switch (n.kind) {
    case ControlKind::kRow: {
      auto* box = new QWidget;
      auto* l = new QHBoxLayout(box);
      l->setContentsMargins(0, 0, 0, 0);
      l->setSpacing(8);
      for (const auto& c : n.items) {
        if (c.kind == ControlKind::kSpacer) {
          l->addStretch(1);
          continue;
        }
        QWidget* child = Build(c);
        if (!c.label.empty()) {  // a field's label goes in front of it here too
          auto* label = new QLabel(QString::fromUtf8(c.label));
          label->setBuddy(child);
          l->addWidget(label);
        }
        l->addWidget(child, c.stretch ? 1 : 0);
      }
      return box;
    }
    case ControlKind::kColumn:
    case ControlKind::kTab: {
      auto* box = new QWidget;
      auto* g = new QGridLayout(box);
      g->setContentsMargins(0, 0, 0, 0);
      if (n.kind == ControlKind::kTab) g->setContentsMargins(10, 10, 10, 10);
      Fill(g, n);
      return box;
    }
    case ControlKind::kGroup: {
      auto* box = new QGroupBox(QString::fromUtf8(n.caption));
      auto* g = new QGridLayout(box);
      Fill(g, n);
      return box;
    }
    case ControlKind::kTabs: {
      auto* tabs = new QTabWidget;
      for (const auto& c : n.items)
        tabs->addTab(Build(c), QString::fromUtf8(c.caption).replace("&&", "&"));
      return tabs;
    }
    default:
      return MakeControl(n);
  }
}

// Children of a column: controls with a label get it in a first column, so
// the labels of a form line up and the fields start at one edge.
void DialogView::Fill(QGridLayout* g, const TemplateNode& n) {
  g->setHorizontalSpacing(10);
  g->setVerticalSpacing(6);
  int row = 0;
  bool stretched = false;
  for (const auto& c : n.items) {
    if (c.kind == ControlKind::kSpacer) {
      g->setRowStretch(row++, 1);
      stretched = true;
      continue;
    }
    QWidget* child = Build(c);
    if (!c.label.empty()) {
      auto* label = new QLabel(QString::fromUtf8(c.label));
      label->setBuddy(child);
      g->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
      g->addWidget(child, row, 1, Qt::AlignLeft);
    } else {
      g->addWidget(child, row, 0, 1, 2);
    }
    if (c.stretch) {
      g->setRowStretch(row, 1);
      stretched = true;
    }
    ++row;
  }
  g->setColumnStretch(1, 1);
  if (!stretched) g->setRowStretch(row, 1);
}

QWidget* DialogView::MakeControl(const TemplateNode& n) {
  QWidget* made = nullptr;
  int cw = CharWidth();
  int id = n.id;
  switch (n.kind) {
    case ControlKind::kLabel: {
      auto* l = new QLabel(QString::fromUtf8(n.caption));
      if (n.width > 0) l->setMinimumWidth(n.width * cw + 4);
      if (id != 0) {
        // Labels the screens fill with aligned numbers read best fixed-pitch.
        l->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        l->setMinimumWidth(n.width * QFontMetrics(l->font()).averageCharWidth() + 4);
      }
      made = l;
      break;
    }
    case ControlKind::kEdit: {
      auto* e = new QLineEdit;
      int chars = n.width > 0 ? n.width : static_cast<int>(n.picture.size());
      if (!n.picture.empty() && static_cast<int>(n.picture.size()) < chars)
        chars = n.picture.size();
      if (chars > 0) {
        e->setMaxLength(chars);
        e->setMinimumWidth(std::min(chars + 3, 48) * cw);
        e->setMaximumWidth(std::max(chars + 3, 8) * cw + 16);
      }
      if (IsNumericPicture(n.picture)) {
        e->setAlignment(Qt::AlignRight);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression("[-0-9.,]*"), e));
      }
      // --- date fields ("@D"): dd/mm/yy, read by the window state.
      if (IsDatePicture(n.picture)) {
        e->setMaxLength(kDateEntryWidth);
        e->setMinimumWidth((kDateEntryWidth + 2) * cw);
        e->setMaximumWidth((kDateEntryWidth + 3) * cw + 16);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9/ ]*"), e));
      }
      // Secrets (passwords, keys) are never drawn in clear.
      if (std::find(n.options.begin(), n.options.end(), "password") != n.options.end())
        e->setEchoMode(QLineEdit::Password);
      e->setReadOnly(n.readonly);
      connect(e, &QLineEdit::textEdited, this, [this, id](const QString& s) {
        if (updating_) return;
        w_.UserType(id, s.toStdString());
        emit acted();
      });
      made = e;
      break;
    }
    case ControlKind::kMemo: {
      auto* m = new QPlainTextEdit;
      if (n.lines > 0) m->setMinimumHeight(n.lines * fontMetrics().lineSpacing() + 12);
      // The window state follows the caret too: screens insert at it.
      auto caret = [this, m, id] {
        const QString all = m->toPlainText();
        w_.SetCaret(id, static_cast<int>(all.left(m->textCursor().position()).toUtf8().size()));
      };
      connect(m, &QPlainTextEdit::textChanged, this, [this, m, id, caret] {
        if (updating_) return;
        w_.UserType(id, m->toPlainText().toStdString());
        caret();
      });
      connect(m, &QPlainTextEdit::cursorPositionChanged, this, [this, caret] {
        if (!updating_) caret();
      });
      made = m;
      break;
    }
    case ControlKind::kButton: {
      auto* b = new QPushButton(QString::fromUtf8(n.caption));
      b->setDefault(n.is_default);
      b->setAutoDefault(n.is_default);
      b->setMinimumWidth(12 * cw);
      connect(b, &QPushButton::clicked, this, [this, id] {
        CommitOpenEditors(this);
        w_.UserPress(id);
        emit acted();
      });
      made = b;
      break;
    }
    case ControlKind::kCheck:
    case ControlKind::kRadio: {
      QAbstractButton* b;
      if (n.kind == ControlKind::kCheck) {
        b = new QCheckBox(QString::fromUtf8(n.caption));
      } else {
        auto* r = new QRadioButton(QString::fromUtf8(n.caption));
        r->setAutoExclusive(false);  // the window state keeps radios exclusive
        b = r;
      }
      connect(b, &QAbstractButton::clicked, this, [this, id] {
        if (updating_) return;
        w_.UserClick(id);
        if (const ControlState* c = w_.Control(id)) Show(*c);
        emit acted();
      });
      made = b;
      break;
    }
    case ControlKind::kCombo: {
      auto* c = new QComboBox;
      if (n.width > 0) c->setMinimumWidth(n.width * cw);
      connect(c, &QComboBox::activated, this, [this, id](int index) {
        if (updating_) return;
        w_.UserChooseIndex(id, index);
        emit acted();
      });
      made = c;
      break;
    }
    case ControlKind::kList: {
      auto* l = new QListWidget;
      l->setSelectionMode(QAbstractItemView::MultiSelection);
      if (n.width > 0) l->setMinimumWidth(n.width * cw);
      if (n.lines > 0) l->setMinimumHeight(n.lines * (fontMetrics().height() + 4));
      connect(l, &QListWidget::itemSelectionChanged, this, [this, l, id] {
        if (updating_ || !w_.ControlEnabled(id)) return;
        for (int i = 0; i < l->count(); ++i) w_.SetSelected(id, i, l->item(i)->isSelected());
        // The entry the user just (de)selected goes through the user's
        // path too, so a block registered on the list follows the choice.
        if (QListWidgetItem* it = l->currentItem())
          w_.UserSelect(id, it->text().toStdString(), it->isSelected());
      });
      made = l;
      break;
    }
    case ControlKind::kGrid: {
      QTableView* v;
      if (WBLISTBOX* g = w_.Grid(id)) {
        v = new BrowseTable(g, nullptr);
      } else {
        v = new QTableView;  // a template shown without its screen
      }
      if (n.lines > 0) v->setMinimumHeight((n.lines + 1) * (fontMetrics().height() + 6));
      made = v;
      break;
    }
    case ControlKind::kTree: {
      auto* t = new TreeControl;
      if (n.lines > 0) t->setMinimumHeight(n.lines * (fontMetrics().height() + 4));
      if (n.width > 0) t->setMinimumWidth(n.width * cw);
      t->Bind(w_.Tree(id));
      connect(t, &TreeControl::acted, this, &DialogView::acted);
      made = t;
      break;
    }
    default:
      made = new QWidget;
      break;
  }
  if (id != 0) {
    widgets_[id] = made;
    made->installEventFilter(this);  // focus tracking
  }
  return made;
}

void DialogView::Show(const ControlState& c) {
  QWidget* wgt = widget(c.id);
  if (!wgt) return;
  if (auto* t = qobject_cast<TreeControl*>(wgt)) {
    t->Bind(w_.Tree(c.id));  // a tree made after the window was shown
    t->setEnabled(c.enabled);
    return;
  }
  updating_ = true;
  QSignalBlocker block(wgt);
  wgt->setEnabled(c.enabled);
  QString text = QString::fromUtf8(c.text);
  if (auto* e = qobject_cast<QLineEdit*>(wgt)) {
    if (e->text() != text) e->setText(text);
  } else if (auto* m = qobject_cast<QPlainTextEdit*>(wgt)) {
    if (m->toPlainText() != text) m->setPlainText(text);
    // The caret the screen left (after an insertion) is where typing goes on.
    const int at = static_cast<int>(QString::fromUtf8(c.text.substr(0, w_.Caret(c.id))).size());
    if (m->textCursor().position() != at) {
      QTextCursor cur = m->textCursor();
      cur.setPosition(std::min(at, static_cast<int>(m->toPlainText().size())));
      m->setTextCursor(cur);
    }
  } else if (auto* l = qobject_cast<QLabel*>(wgt)) {
    l->setText(text);
  } else if (auto* b = qobject_cast<QAbstractButton*>(wgt)) {
    b->setText(text);
    if (b->isCheckable()) b->setChecked(c.check != 0);
  } else if (auto* cb = qobject_cast<QComboBox*>(wgt)) {
    cb->clear();
    for (const auto& e : c.entries) cb->addItem(QString::fromUtf8(e.text));
    cb->setCurrentIndex(c.current);
  } else if (auto* lw = qobject_cast<QListWidget*>(wgt)) {
    // Entries may be reordered in place (a list whose entries move up and
    // down): compare the texts, not only the count.
    bool same = lw->count() == static_cast<int>(c.entries.size());
    for (int i = 0; same && i < lw->count(); ++i)
      same = lw->item(i)->text() == QString::fromUtf8(c.entries[i].text);
    if (!same) {
      lw->clear();
      // Screens that show two columns in one list pad the first with
      // spaces; they only line up in a fixed-pitch font.
      bool padded = false;
      for (const auto& e : c.entries) {
        lw->addItem(QString::fromUtf8(e.text));
        const size_t run = e.text.find("  ");
        padded = padded || (run != std::string::npos && run > 0 &&
                            e.text.find_first_not_of(' ', run) != std::string::npos);
      }
      lw->setFont(padded ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : font());
    }
    for (int i = 0; i < lw->count(); ++i) lw->item(i)->setSelected(c.entries[i].selected);
  }
  updating_ = false;
}

bool DialogView::eventFilter(QObject* watched, QEvent* event) {
  // The window state learns which control has the focus: Enter in a field
  // then does what that field asks, and a dialog reopened over this window
  // gives it back to the same control.
  if (event->type() == QEvent::FocusIn) {
    for (const auto& [id, wgt] : widgets_) {
      if (wgt == watched && w_.focus() != id) w_.SetFocus(id);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void DialogView::ControlChanged(int id) {
  if (const ControlState* c = w_.Control(id)) Show(*c);
}

void DialogView::FocusChanged(int id) {
  if (QWidget* wgt = widget(id)) wgt->setFocus(Qt::OtherFocusReason);
}

void DialogView::WindowChanged() {
  setWindowTitle(QString::fromUtf8(w_.title()));
  setEnabled(w_.window_enabled());
}

}  // namespace qz
