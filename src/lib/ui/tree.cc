#include "lib/ui/tree.h"

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

}  // namespace

TreeModel::TreeModel(WDIAG& owner, int id, Mode mode) : owner_(owner), id_(id), mode_(mode) {
  owner_.AttachTree(id_, this);
}

TreeModel::~TreeModel() {
  if (owner_.Tree(id_) == this) owner_.AttachTree(id_, nullptr);
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
  if (view_) view_->TreeReset();
  return raw;
}

void TreeModel::Clear() {
  root_.children.clear();
  selected_ = nullptr;
  if (view_) view_->TreeReset();
}

TreeNode* TreeModel::Find(const std::string& cargo) {
  return FindIn(&root_, cargo);
}

void TreeModel::Click(TreeNode* n) {
  selected_ = n;
  if (on_click) on_click(n);
}

bool TreeModel::SetMarked(TreeNode* n, bool on) {
  if (mode_ != Mode::kMultiple || !n) return false;
  if (n->leaf()) {
    n->marked = on;
    if (view_) view_->NodeChanged(n);
    return true;
  }
  std::vector<TreeNode*> leaves;
  Leaves(n, &leaves);
  for (TreeNode* l : leaves) {
    l->marked = on;
    if (view_) view_->NodeChanged(l);
  }
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

void TreeModel::AddContextEntry(const std::string& caption, std::function<void(TreeNode*)> action) {
  menu_.push_back({caption, std::move(action)});
}

bool TreeModel::ChooseContext(TreeNode* n, const std::string& caption) {
  for (const auto& e : menu_) {
    if (e.caption == caption && e.action) {
      auto action = e.action;
      action(n);
      return true;
    }
  }
  return false;
}

}  // namespace qz
