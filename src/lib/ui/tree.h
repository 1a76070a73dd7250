// A tree control's contents (department trees, user trees of the log
// viewers): nodes with a text, a cargo and an optional text shown on the
// right; single or multiple selection, where multiple selection marks only
// leaves; and the context-menu entries the screen offers on a node.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lib/ui/wdiag.h"

namespace qz {

struct TreeNode {
  std::string text;  // UTF-8
  std::string cargo;
  std::string right_text;  // shown right-aligned after the text
  bool marked = false;
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;
  bool leaf() const { return children.empty(); }
};

class TreeView {
 public:
  virtual ~TreeView() = default;
  virtual void TreeReset() = 0;
  virtual void NodeChanged(const TreeNode* n) = 0;
};

class TreeModel {
 public:
  enum class Mode { kSingle, kMultiple };
  // The tree on control `id` of `owner`.
  TreeModel(WDIAG& owner, int id, Mode mode = Mode::kSingle);
  ~TreeModel();

  TreeNode* root() { return &root_; }
  TreeNode* Add(TreeNode* parent, const std::string& text, const std::string& cargo,
                const std::string& right_text = {});
  void Clear();
  TreeNode* Find(const std::string& cargo);
  Mode mode() const { return mode_; }

  // Single selection: the clicked node; the click callback runs.
  void Click(TreeNode* n);
  TreeNode* selected() const { return selected_; }
  std::function<void(TreeNode*)> on_click;

  // Multiple selection: only leaves can be marked; marking a branch marks or
  // clears all its leaves. Returns false for a node that cannot be marked.
  bool SetMarked(TreeNode* n, bool on);
  std::vector<TreeNode*> MarkedLeaves();

  // Context menu entries offered on a node (right click).
  struct MenuEntry {
    std::string caption;
    std::function<void(TreeNode*)> action;
  };
  void AddContextEntry(const std::string& caption, std::function<void(TreeNode*)> action);
  const std::vector<MenuEntry>& context_menu() const { return menu_; }
  bool ChooseContext(TreeNode* n, const std::string& caption);

  void SetView(TreeView* v) { view_ = v; }

 private:
  WDIAG& owner_;
  int id_;
  Mode mode_;
  TreeNode root_;
  TreeNode* selected_ = nullptr;
  std::vector<MenuEntry> menu_;
  TreeView* view_ = nullptr;
};

}  // namespace qz
