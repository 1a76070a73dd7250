// A tree control's contents (department trees, rights trees, the user tree
// of the usage-log viewer): nodes with a text, a cargo and an optional text
// shown on the right; single or multiple selection, where multiple selection
// marks only leaves; expansion state; the context-menu entries the screen
// offers on a node, plus the standard ones (expand, collapse, clear marks,
// search, refresh); and a refresh that rebuilds the nodes from the screen's
// fill function keeping what the user had expanded, marked and selected.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lib/ui/wdiag.h"

namespace qz {

struct TreeNode {
  std::string text;  // UTF-8
  std::string cargo;
  std::string right_text;  // shown right-aligned after the text
  bool marked = false;
  bool expanded = false;
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;
  bool leaf() const { return children.empty(); }
};

class TreeView {
 public:
  virtual ~TreeView() = default;
  virtual void TreeReset() = 0;                   // nodes added, removed or reordered
  virtual void NodeChanged(const TreeNode* n) = 0;  // mark or expansion of one node
  virtual void SelectionChanged(const TreeNode* n) { (void)n; }
};

// Captions of the standard context entries.
inline constexpr const char* kTreeExpandAll = "Expandir todo";
inline constexpr const char* kTreeCollapseAll = "Contraer todo";
inline constexpr const char* kTreeClearMarks = "Limpiar marcas";
inline constexpr const char* kTreeSearch = "Buscar...";
inline constexpr const char* kTreeRefresh = "Actualizar";

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
  int size() const;  // nodes below the root

  // Children in ascending order of their text, at every level.
  void Sort();

  // The width, in characters, kept for the right-hand texts (0: as wide as
  // they are).
  void SetTagMargin(int chars) { tag_margin_ = chars; }
  int tag_margin() const { return tag_margin_; }

  // Single selection: the clicked node; the click callback runs.
  void Click(TreeNode* n);
  TreeNode* selected() const { return selected_; }
  std::function<void(TreeNode*)> on_click;

  // Multiple selection: only leaves can be marked; marking a branch marks or
  // clears all its leaves. Returns false for a node that cannot be marked.
  bool SetMarked(TreeNode* n, bool on);
  std::vector<TreeNode*> MarkedLeaves();
  void ClearMarks();
  // Runs after the user marked or cleared nodes.
  std::function<void()> on_mark;

  // Expansion, as the user opens and closes branches.
  void Expand(TreeNode* n, bool on);
  void ExpandAll();
  void CollapseAll();

  // The next node (after the selected one, in display order, wrapping)
  // whose text contains `text` regardless of case; it is selected and its
  // branch opened. Null when no node has it.
  TreeNode* Search(const std::string& text);

  // Refresh: `fill` adds the nodes; Refresh() runs it again keeping the
  // expanded branches, marks and selection (by cargo) of the nodes that are
  // still there.
  void SetFill(std::function<void(TreeModel&)> fill) { fill_ = std::move(fill); }
  void Refresh();

  // Context menu entries offered on a node (right click).
  struct MenuEntry {
    std::string caption;
    std::function<void(TreeNode*)> action;
  };
  void AddContextEntry(const std::string& caption, std::function<void(TreeNode*)> action);
  // Expand all, collapse all, clear marks (multiple selection), search and
  // refresh (when a fill function is set by then).
  void AddStandardContextEntries();
  const std::vector<MenuEntry>& context_menu() const { return menu_; }
  bool ChooseContext(TreeNode* n, const std::string& caption);
  // Asks the user for the text "Buscar..." looks for (the window system
  // sets it; nothing = cancelled).
  std::function<std::optional<std::string>(const std::string& prompt)> ask_text;

  void SetView(TreeView* v) { view_ = v; }
  TreeView* view() const { return view_; }

 private:
  void Reset();

  WDIAG& owner_;
  int id_;
  Mode mode_;
  TreeNode root_;
  TreeNode* selected_ = nullptr;
  std::vector<MenuEntry> menu_;
  TreeView* view_ = nullptr;
  std::function<void(TreeModel&)> fill_;
  bool filling_ = false;
  int tag_margin_ = 0;
};

}  // namespace qz
