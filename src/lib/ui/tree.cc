#include "lib/ui/tree.h"

#include <algorithm>
#include <set>

#include "lib/ui/picture.h"

namespace qz {
namespace {

TreeNode* FindIn(TreeNode* n, const std::string& cargo) {
  for (auto& c : n->children) {
    if (c->cargo == cargo) return c.get();
    if (TreeNode* f = FindIn(c.get(), cargo)) return f;
  }
  return nullptr;
}

void Leaves(TreeNode* n, std::vector<TreeNode*>* out) {
  for (auto& c : n->children) {
    if (c->leaf()) {
      out->push_back(c.get());
    } else {
      Leaves(c.get(), out);
    }
  }
}

// Every node below `n` in display order (depth first).
void Flatten(TreeNode* n, std::vector<TreeNode*>* out) {
  for (auto& c : n->children) {
    out->push_back(c.get());
    Flatten(c.get(), out);
  }
}

void SortIn(TreeNode* n) {
  std::stable_sort(n->children.begin(), n->children.end(),
                   [](const auto& a, const auto& b) { return a->text < b->text; });
  for (auto& c : n->children) SortIn(c.get());
}

}  // namespace

TreeModel::TreeModel(WDIAG& owner, int id, Mode mode) : owner_(owner), id_(id), mode_(mode) {
  root_.expanded = true;
  owner_.AttachTree(id_, this);
}

TreeModel::~TreeModel() {
  if (owner_.Tree(id_) == this) owner_.AttachTree(id_, nullptr);
}

void TreeModel::Reset() {
  if (view_ && !filling_) view_->TreeReset();
}

TreeNode* TreeModel::Add(TreeNode* parent, const std::string& text, const std::string& cargo,
                         const std::string& right_text) {
  if (!parent) parent = &root_;
  auto n = std::make_unique<TreeNode>();
  n->text = text;
  n->cargo = cargo;
  n->right_text = right_text;
  n->parent = parent;
  TreeNode* raw = n.get();
  parent->children.push_back(std::move(n));
  Reset();
  return raw;
}

void TreeModel::Clear() {
  root_.children.clear();
  selected_ = nullptr;
  Reset();
}

TreeNode* TreeModel::Find(const std::string& cargo) {
  return FindIn(&root_, cargo);
}

int TreeModel::size() const {
  std::vector<TreeNode*> all;
  Flatten(const_cast<TreeNode*>(&root_), &all);
  return static_cast<int>(all.size());
}

void TreeModel::Sort() {
  SortIn(&root_);
  Reset();
}

void TreeModel::Click(TreeNode* n) {
  selected_ = n;
  if (view_) view_->SelectionChanged(n);
  if (on_click) on_click(n);
}

bool TreeModel::SetMarked(TreeNode* n, bool on) {
  if (mode_ != Mode::kMultiple || !n) return false;
  std::vector<TreeNode*> leaves;
  if (n->leaf()) {
    leaves.push_back(n);
  } else {
    Leaves(n, &leaves);
  }
  for (TreeNode* l : leaves) {
    l->marked = on;
    if (view_) view_->NodeChanged(l);
  }
  if (on_mark) on_mark();
  return true;
}

std::vector<TreeNode*> TreeModel::MarkedLeaves() {
  std::vector<TreeNode*> all, out;
  Leaves(&root_, &all);
  for (TreeNode* l : all) {
    if (l->marked) out.push_back(l);
  }
  return out;
}

void TreeModel::ClearMarks() {
  for (TreeNode* l : MarkedLeaves()) {
    l->marked = false;
    if (view_) view_->NodeChanged(l);
  }
  if (on_mark) on_mark();
}

void TreeModel::Expand(TreeNode* n, bool on) {
  if (!n || n->leaf() || n->expanded == on) return;
  n->expanded = on;
  if (view_) view_->NodeChanged(n);
}

void TreeModel::ExpandAll() {
  std::vector<TreeNode*> all;
  Flatten(&root_, &all);
  for (TreeNode* n : all) Expand(n, true);
}

void TreeModel::CollapseAll() {
  std::vector<TreeNode*> all;
  Flatten(&root_, &all);
  for (TreeNode* n : all) Expand(n, false);
}

TreeNode* TreeModel::Search(const std::string& text) {
  std::string wanted = UpperUtf8(text);
  if (wanted.empty()) return nullptr;
  std::vector<TreeNode*> all;
  Flatten(&root_, &all);
  if (all.empty()) return nullptr;
  size_t start = 0;
  if (selected_) {
    auto it = std::find(all.begin(), all.end(), selected_);
    if (it != all.end()) start = static_cast<size_t>(it - all.begin()) + 1;
  }
  for (size_t i = 0; i < all.size(); ++i) {
    TreeNode* n = all[(start + i) % all.size()];
    if (UpperUtf8(n->text).find(wanted) == std::string::npos) continue;
    for (TreeNode* p = n->parent; p && p != &root_; p = p->parent) Expand(p, true);
    Click(n);
    return n;
  }
  return nullptr;
}

void TreeModel::Refresh() {
  if (!fill_) return;
  std::set<std::string> expanded, marked;
  std::vector<TreeNode*> all;
  Flatten(&root_, &all);
  for (TreeNode* n : all) {
    if (n->expanded) expanded.insert(n->cargo);
    if (n->marked) marked.insert(n->cargo);
  }
  std::optional<std::string> selected;
  if (selected_) selected = selected_->cargo;
  filling_ = true;
  root_.children.clear();
  selected_ = nullptr;
  fill_(*this);
  all.clear();
  Flatten(&root_, &all);
  for (TreeNode* n : all) {
    if (expanded.count(n->cargo) && !n->leaf()) n->expanded = true;
    if (marked.count(n->cargo) && n->leaf()) n->marked = true;
    if (selected && n->cargo == *selected && !selected_) selected_ = n;
  }
  filling_ = false;
  Reset();
  if (view_ && selected_) view_->SelectionChanged(selected_);
}

void TreeModel::AddContextEntry(const std::string& caption, std::function<void(TreeNode*)> action) {
  menu_.push_back({caption, std::move(action)});
}

void TreeModel::AddStandardContextEntries() {
  AddContextEntry(kTreeExpandAll, [this](TreeNode*) { ExpandAll(); });
  AddContextEntry(kTreeCollapseAll, [this](TreeNode*) { CollapseAll(); });
  if (mode_ == Mode::kMultiple) AddContextEntry(kTreeClearMarks, [this](TreeNode*) { ClearMarks(); });
  AddContextEntry(kTreeSearch, [this](TreeNode*) {
    if (!ask_text) return;
    if (auto text = ask_text("Buscar:")) Search(*text);
  });
  if (fill_) AddContextEntry(kTreeRefresh, [this](TreeNode*) { Refresh(); });
}

bool TreeModel::ChooseContext(TreeNode* n, const std::string& caption) {
  for (const auto& e : menu_) {
    if (e.caption == caption && e.action) {
      if (caption == kTreeRefresh && !fill_) return false;
      auto action = e.action;
      action(n);
      return true;
    }
  }
  return false;
}

}  // namespace qz
