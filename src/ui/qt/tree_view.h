// The tree control on screen: a QTreeWidget over a TreeModel. Clicks select
// (and run the screen's click), check boxes mark leaves in multiple
// selection, opening and closing branches is kept in the model, and a right
// click offers the model's context entries. The right-hand text is a second
// column, right-aligned.
#pragma once

#include <QTreeWidget>
#include <unordered_map>

#include "lib/ui/tree.h"

namespace qz {

class TreeControl : public QTreeWidget, public TreeView {
  Q_OBJECT
 public:
  explicit TreeControl(QWidget* parent = nullptr);
  ~TreeControl() override;

  // Shows `model` (null: nothing).
  void Bind(TreeModel* model);
  TreeModel* model() const { return model_; }
  QTreeWidgetItem* ItemOf(const TreeNode* n) const;
  TreeNode* NodeOf(QTreeWidgetItem* item) const;
  // The context menu for `item` as it would pop up (tests read it).
  QStringList ContextCaptions() const;

  // TreeView
  void TreeReset() override;
  void NodeChanged(const TreeNode* n) override;
  void SelectionChanged(const TreeNode* n) override;

 signals:
  void acted();

 private:
  void Rebuild();
  void Fill(QTreeWidgetItem* parent, TreeNode* node);
  void ShowNode(QTreeWidgetItem* item, const TreeNode* n);
  void PopUp(const QPoint& pos);

  TreeModel* model_ = nullptr;
  std::unordered_map<const TreeNode*, QTreeWidgetItem*> items_;
  bool updating_ = false;
  bool reset_posted_ = false;
};

}  // namespace qz
