#include "ui/qt/tree_view.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QTimer>

namespace qz {
namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

}  // namespace

TreeControl::TreeControl(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(2);
  setHeaderHidden(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Stretch);
  header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    if (updating_ || !model_) return;
    if (TreeNode* n = NodeOf(item)) {
      model_->Click(n);
      emit acted();
    }
  });
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int col) {
    if (updating_ || !model_ || col != 0) return;
    TreeNode* n = NodeOf(item);
    if (!n || model_->mode() != TreeModel::Mode::kMultiple) return;
    bool on = item->checkState(0) == Qt::Checked;
    if (n->leaf() && n->marked == on) return;
    model_->SetMarked(n, on);
    emit acted();
  });
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (!updating_ && model_) model_->Expand(NodeOf(item), true);
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (!updating_ && model_) model_->Expand(NodeOf(item), false);
  });
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) { PopUp(p); });
}

TreeControl::~TreeControl() {
  if (model_ && model_->view() == this) model_->SetView(nullptr);
}

void TreeControl::Bind(TreeModel* model) {
  if (model_ == model) return;
  if (model_ && model_->view() == this) model_->SetView(nullptr);
  model_ = model;
  if (model_) {
    model_->SetView(this);
    if (!model_->ask_text) {
      model_->ask_text = [this](const std::string& prompt) -> std::optional<std::string> {
        bool ok = false;
        QString t = QInputDialog::getText(this, QString::fromUtf8("Buscar"),
                                          QString::fromUtf8(prompt), QLineEdit::Normal, {}, &ok);
        if (!ok) return std::nullopt;
        return t.toStdString();
      };
    }
  }
  Rebuild();
}

QTreeWidgetItem* TreeControl::ItemOf(const TreeNode* n) const {
  auto it = items_.find(n);
  return it == items_.end() ? nullptr : it->second;
}

TreeNode* TreeControl::NodeOf(QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  return static_cast<TreeNode*>(item->data(0, kNodeRole).value<void*>());
}

void TreeControl::ShowNode(QTreeWidgetItem* item, const TreeNode* n) {
  item->setText(0, QString::fromUtf8(n->text));
  item->setText(1, QString::fromUtf8(n->right_text));
  item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  if (model_->mode() == TreeModel::Mode::kMultiple) {
    if (n->leaf()) {
      item->setCheckState(0, n->marked ? Qt::Checked : Qt::Unchecked);
    } else {
      // A branch shows whether its leaves are marked; checking it marks
      // them all.
      int on = 0, all = 0;
      std::function<void(const TreeNode*)> count = [&](const TreeNode* x) {
        for (const auto& c : x->children) {
          if (c->leaf()) {
            ++all;
            on += c->marked ? 1 : 0;
          } else {
            count(c.get());
          }
        }
      };
      count(n);
      item->setCheckState(0, on == 0 ? Qt::Unchecked
                                     : (on == all ? Qt::Checked : Qt::PartiallyChecked));
    }
  }
  item->setExpanded(n->expanded);
}

void TreeControl::Fill(QTreeWidgetItem* parent, TreeNode* node) {
  for (auto& c : node->children) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setData(0, kNodeRole, QVariant::fromValue<void*>(c.get()));
    items_[c.get()] = item;
    Fill(item, c.get());
  }
}

void TreeControl::Rebuild() {
  reset_posted_ = false;
  updating_ = true;
  clear();
  items_.clear();
  if (model_) {
    // The tag column is at least as wide as the screen's margin asks; a
    // longer code still shows whole.
    const int margin = model_->tag_margin();
    header()->setMinimumSectionSize(
        margin > 0 ? fontMetrics().horizontalAdvance(QString(margin, 'X')) : -1);
    Fill(nullptr, model_->root());
    for (auto& [n, item] : items_) ShowNode(item, n);
    if (TreeNode* s = model_->selected()) {
      if (QTreeWidgetItem* item = ItemOf(s)) setCurrentItem(item);
    }
  }
  updating_ = false;
}

void TreeControl::TreeReset() {
  // Screens add nodes one at a time: rebuild once, after they are done. The
  // items go at once, since the nodes they point to may be gone.
  if (reset_posted_) return;
  reset_posted_ = true;
  updating_ = true;
  clear();
  items_.clear();
  updating_ = false;
  QTimer::singleShot(0, this, [this] {
    if (reset_posted_) Rebuild();
  });
}

void TreeControl::NodeChanged(const TreeNode* n) {
  if (reset_posted_) return;
  QTreeWidgetItem* item = ItemOf(n);
  if (!item) return;
  updating_ = true;
  ShowNode(item, n);
  for (const TreeNode* p = n->parent; p && p != model_->root(); p = p->parent) {
    if (QTreeWidgetItem* pi = ItemOf(p)) ShowNode(pi, p);
  }
  updating_ = false;
}

void TreeControl::SelectionChanged(const TreeNode* n) {
  if (reset_posted_) return;
  if (QTreeWidgetItem* item = ItemOf(n)) {
    updating_ = true;
    setCurrentItem(item);
    scrollToItem(item);
    updating_ = false;
  }
}

QStringList TreeControl::ContextCaptions() const {
  QStringList out;
  if (!model_) return out;
  for (const auto& e : model_->context_menu()) out << QString::fromUtf8(e.caption);
  return out;
}

void TreeControl::PopUp(const QPoint& pos) {
  if (!model_ || model_->context_menu().empty()) return;
  TreeNode* n = NodeOf(itemAt(pos));
  QMenu menu(this);
  for (const auto& e : model_->context_menu()) {
    std::string caption = e.caption;
    menu.addAction(QString::fromUtf8(caption), this, [this, n, caption] {
      model_->ChooseContext(n, caption);
      emit acted();
    });
  }
  menu.exec(viewport()->mapToGlobal(pos));
}

}  // namespace qz
