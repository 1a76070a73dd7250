#include "ui/qt/browse_model.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QStyledItemDelegate>
#include <QValidator>

#include "lib/ui/cell_click.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/picture.h"
#include "lib/workbook/grid_workbook.h"

namespace qz {
namespace {

QColor FromColorRef(uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Typed text in an in-place editor passes the column's picture as the grid
// will apply it: upper case for "!", digits for numbers, the picture's width.
class PictureValidator : public QValidator {
 public:
  PictureValidator(std::string picture, QObject* parent)
      : QValidator(parent), picture_(std::move(picture)) {}
  State validate(QString& input, int& pos) const override {
    bool refused = false;
    std::string out = FilterInput(input.toStdString(), picture_, 0, &refused);
    QString shown = QString::fromUtf8(out);
    if (shown != input) {
      pos = std::min<int>(pos, shown.size());
      input = shown;
    }
    return refused ? Invalid : Acceptable;
  }

 private:
  std::string picture_;
};

class MaskedCellDelegate : public QStyledItemDelegate {
 public:
  MaskedCellDelegate(WBLISTBOX* grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    auto* e = qobject_cast<QLineEdit*>(w);
    if (e && index.column() < static_cast<int>(grid_->columns().size())) {
      const BrowseColumn& c = grid_->columns()[index.column()];
      if (c.width > 0) e->setMaxLength(c.width);
      e->setValidator(new PictureValidator(c.picture, e));
      if (c.right_align) e->setAlignment(Qt::AlignRight);
    }
    return w;
  }

 private:
  WBLISTBOX* grid_;
};

}  // namespace

BrowseModel::BrowseModel(WBLISTBOX* grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
  grid_->SetView(this);
}

BrowseModel::~BrowseModel() {
  if (grid_) grid_->SetView(nullptr);
}

int BrowseModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_->RowCount() + (grid_->has_totals() ? 1 : 0);
}

int BrowseModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(grid_->columns().size());
}

QVariant BrowseModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const BrowseColumn& c = grid_->columns()[index.column()];
  if (IsTotalsRow(index.row())) {
    switch (role) {
      case Qt::DisplayRole:
        return QString::fromUtf8(grid_->TotalCell(index.column())).trimmed();
      case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignRight);
      case Qt::FontRole: {
        QFont f;
        f.setBold(true);
        return f;
      }
      case Qt::BackgroundRole:
        return QColor(0xE8, 0xE8, 0xDC);
      default:
        return {};
    }
  }
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromUtf8(grid_->Cell(index.row(), index.column())).trimmed();
    case Qt::EditRole:
      return QString::fromUtf8(grid_->Cell(index.row(), index.column())).trimmed();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (c.right_align ? Qt::AlignRight : Qt::AlignLeft));
    default:
      return {};
  }
}

QVariant BrowseModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || section < 0 || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, o, role);
  }
  if (role == Qt::DisplayRole) return QString::fromUtf8(grid_->columns()[section].header);
  if (role == Qt::BackgroundRole) {
    if (auto c = grid_->HeaderColour(section)) return FromColorRef(*c);
  }
  return {};
}

Qt::ItemFlags BrowseModel::flags(const QModelIndex& index) const {
  if (IsTotalsRow(index.row())) return Qt::ItemIsEnabled;
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && grid_->columns()[index.column()].on_edit) f |= Qt::ItemIsEditable;
  return f;
}

bool BrowseModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || IsTotalsRow(index.row())) return false;
  return grid_->EditCell(index.row(), index.column(), value.toString().toStdString());
}

void BrowseModel::RowsReset() {
  beginResetModel();
  endResetModel();
}

void BrowseModel::RowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
  if (grid_->has_totals()) {
    int last = grid_->RowCount();
    emit dataChanged(index(last, 0), index(last, columnCount() - 1));
  }
}

void BrowseModel::CurrentChanged(int row) {
  emit currentRowMoved(row);
}

BrowseTable::BrowseTable(WBLISTBOX* grid, QWidget* parent) : QTableView(parent) {
  model_ = new BrowseModel(grid, this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAlternatingRowColors(true);
  setShowGrid(false);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  setItemDelegate(new MaskedCellDelegate(grid, this));
  verticalHeader()->setVisible(grid->SHOWNUMBERS);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsMovable(grid->USERMOVE);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ApplyColumnWidths();
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { ApplyColumnWidths(); });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
    model_->grid()->ClickHeader(col);
    horizontalHeader()->viewport()->update();
  });
  connect(this, &QTableView::clicked, this, [this](const QModelIndex& i) {
    if (i.isValid() && !model_->IsTotalsRow(i.row()))
      ClickCell(*model_->grid(), i.row(), i.column());
  });
  connect(model_, &BrowseModel::currentRowMoved, this, [this](int row) {
    if (syncing_ || row < 0) return;
    syncing_ = true;
    QModelIndex i = model_->index(row, 0);
    setCurrentIndex(i);
    scrollTo(i);
    syncing_ = false;
  });
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& cur) {
            if (syncing_ || !cur.isValid()) return;
            if (model_->IsTotalsRow(cur.row())) {
              // The totals row is not a row of the table: stay on the last one.
              setCurrentIndex(model_->index(cur.row() - 1, cur.column()));
              return;
            }
            syncing_ = true;
            model_->grid()->Select(cur.row());
            syncing_ = false;
          });
  if (grid->current() >= 0) setCurrentIndex(model_->index(grid->current(), 0));
  // Right click: the grid's context menu (the workbook export).
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    WBLISTBOX* g = model_->grid();
    if (!g->owner().window_enabled()) return;
    QMenu menu(this);
    for (const auto& e : GridContextMenu(*g)) {
      auto action = e.action;
      connect(menu.addAction(QString::fromUtf8(e.caption)), &QAction::triggered, this, [this, action] {
        // Run after the menu has closed: the export opens its own window.
        QTimer::singleShot(0, this, [action] { RunOperation(action); });
      });
    }
    menu.exec(viewport()->mapToGlobal(p));
  });
}

void BrowseTable::CommitOpenEditor() {
  if (state() != QAbstractItemView::EditingState) return;
  QWidget* editor = indexWidget(currentIndex());
  if (!editor) return;
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CommitOpenEditors(QWidget* root) {
  if (!root) return;
  for (BrowseTable* t : root->findChildren<BrowseTable*>()) t->CommitOpenEditor();
}

void BrowseTable::ApplyColumnWidths() {
  // The screens set the presentation after the grid exists (ConfigBrow).
  const WBLISTBOX* g = model_->grid();
  verticalHeader()->setVisible(g->SHOWNUMBERS);
  horizontalHeader()->setSectionsMovable(g->USERMOVE);
  horizontalHeader()->setSectionResizeMode(g->USERSIZE ? QHeaderView::Interactive
                                                       : QHeaderView::Fixed);
  horizontalHeader()->setStretchLastSection(true);
  const auto& cols = g->columns();
  int cw = fontMetrics().averageCharWidth();
  ReportVisibleRows();
  for (int i = 0; i < static_cast<int>(cols.size()); ++i) {
    // AUTOSIZE: as wide as the header and the rows in view need; otherwise
    // as wide as the picture.
    int chars = g->AUTOSIZE ? g->FitWidth(i)
                            : std::max<int>(cols[i].width, Utf8Length(cols[i].header));
    setColumnWidth(i, chars * cw + 24);
  }
}

void BrowseTable::ReportVisibleRows() {
  int first = rowAt(0);
  int last = rowAt(viewport()->height() - 1);
  if (first < 0) first = 0;
  if (last < 0) last = first + viewport()->height() / std::max(1, rowHeight(0) > 0 ? rowHeight(0) : 20);
  model_->grid()->SetVisibleRows(first, std::min(last, model_->grid()->RowCount() - 1));
}

void BrowseTable::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dy != 0) ReportVisibleRows();
}

void BrowseTable::resizeEvent(QResizeEvent* e) {
  QTableView::resizeEvent(e);
  ReportVisibleRows();
}

void BrowseTable::keyPressEvent(QKeyEvent* e) {
  QString text = e->text();
  bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                   !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  QModelIndex cur = currentIndex();
  bool editable = cur.isValid() && (model_->flags(cur) & Qt::ItemIsEditable);
  if (editable && state() != QAbstractItemView::EditingState &&
      (printable || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
    // On an editable cell a letter, digit or Enter starts the in-place
    // editor; the typed character is its first.
    edit(cur);
    if (printable) {
      if (auto* editor = qobject_cast<QLineEdit*>(indexWidget(cur) ? indexWidget(cur)
                                                                    : focusWidget())) {
        editor->setText(text);
      }
    }
    return;
  }
  if (printable && state() != QAbstractItemView::EditingState) {
    model_->grid()->TypeSearch(text.toStdString());
    return;
  }
  QTableView::keyPressEvent(e);
}

}  // namespace qz
