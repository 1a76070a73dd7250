// CdxTag changes: inserting with page splits, removing with merges and
// root collapse, and bulk building a fresh tree.
#include <algorithm>

#include "xbase/cdx_impl.h"

namespace xb::cdx {
namespace {

constexpr int kMaxDepth = 64;

}  // namespace

Status TagImpl::NewNode(uint16_t attr, NodeRef* out) {
  auto off = file_->AllocPage();
  if (!off.ok()) return off.status();
  NodeRef n = file_->FreshNode();
  n->off = *off;
  n->attr = attr;
  n->klen = klen();
  n->pad = pad_;
  n->key_bytes = (attr & kAttrLeaf) ? 0 : -1;
  n->owner = this;
  file_->AddNode(n);
  file_->MarkDirty(n);
  *out = std::move(n);
  return Status::OK();
}

Status TagImpl::InitEmpty() {
  NodeRef root;
  XB_RETURN_IF_ERROR(NewNode(kAttrRoot | kAttrLeaf, &root));
  set_root(root->off);
  return Status::OK();
}

bool TagImpl::Fits(const Node& n) const {
  if (n.leaf()) return LeafBytes(n, 0, n.n(), pad_) <= kLeafArea;
  return n.n() <= InteriorCapacity(klen());
}

bool TagImpl::Underfull(const Node& n) const {
  if (n.leaf()) return LeafBytes(n, 0, n.n(), pad_) < kLeafArea / 2;
  return 2 * n.n() <= InteriorCapacity(klen());
}

// An overfull interior node first hands one entry to a sibling under the same
// parent that has room: with long keys a node holds only a few, and splitting
// every time would leave chains of one-child nodes and needlessly deep trees.
Status TagImpl::ShiftToSibling(std::vector<std::pair<NodeRef, int>>& path, int level, bool* done) {
  *done = false;
  NodeRef node = path[level].first;
  NodeRef parent = path[level - 1].first;
  int ci = path[level - 1].second;
  int cap = InteriorCapacity(klen());
  if (ci > 0) {
    NodeRef l;
    XB_RETURN_IF_ERROR(Load(parent->kids[ci - 1], &l));
    if (!l->leaf() && l->off == node->left && l->n() < cap) {
      l->Insert(l->n(), node->key(0), node->recs[0], node->kids[0]);
      node->Erase(0);
      parent->SetKey(ci - 1, l->last_key(), l->last_rec());
      file_->MarkDirty(l);
      file_->MarkDirty(node);
      file_->MarkDirty(parent);
      PropagateMax(path, level);
      *done = true;
      return Status::OK();
    }
  }
  if (ci + 1 < parent->n()) {
    NodeRef r;
    XB_RETURN_IF_ERROR(Load(parent->kids[ci + 1], &r));
    if (!r->leaf() && r->off == node->right && r->n() < cap) {
      int last = node->n() - 1;
      r->Insert(0, node->key(last), node->recs[last], node->kids[last]);
      node->Erase(last);
      file_->MarkDirty(r);
      file_->MarkDirty(node);
      PropagateMax(path, level);
      *done = true;
    }
  }
  return Status::OK();
}

void TagImpl::PropagateMax(std::vector<std::pair<NodeRef, int>>& path, int level) {
  for (int l = level; l > 0; --l) {
    Node& child = *path[l].first;
    NodeRef& parent = path[l - 1].first;
    int ci = path[l - 1].second;
    if (child.n() == 0 || ci >= parent->n()) return;
    if (CompareEntry(parent->key(ci), parent->recs[ci], child.last_key(), child.last_rec(),
                     klen()) == 0) {
      return;
    }
    parent->SetKey(ci, child.last_key(), child.last_rec());
    file_->MarkDirty(parent);
  }
}

// Where to split an overfull leaf: the most even split by bytes whose halves
// both fit; when the new entry went to the end of the last leaf (appends in
// key order) the left half keeps everything else, as full as it was.
static int LeafSplitPoint(const Node& n, char pad, bool append) {
  int cnt = n.n(), klen = n.klen;
  std::vector<int> st(cnt), st0(cnt), pre(cnt + 1, 0);
  std::vector<uint32_t> premax(cnt + 1, n.min_rec), sufmax(cnt + 1, n.min_rec);
  int prev_trail = 0;
  for (int i = 0; i < cnt; ++i) {
    int trail = TrailCount(n.key(i), klen, pad);
    st0[i] = klen - trail;
    int dup = 0;
    if (i > 0) {
      int max = klen - std::max(trail, prev_trail);
      while (dup < max && n.key(i - 1)[dup] == n.key(i)[dup]) ++dup;
    }
    st[i] = klen - dup - trail;
    pre[i + 1] = pre[i] + (i ? st[i] : st0[i]);
    premax[i + 1] = std::max(premax[i], n.recs[i]);
    prev_trail = trail;
  }
  for (int i = cnt - 1; i >= 0; --i) sufmax[i] = std::max(sufmax[i + 1], n.recs[i]);
  auto left = [&](int m) { return m * ChooseLayout(klen, premax[m]).bytes + pre[m]; };
  auto right = [&](int m) {
    return (cnt - m) * ChooseLayout(klen, sufmax[m]).bytes + st0[m] + (pre[cnt] - pre[m + 1]);
  };
  if (append && left(cnt - 1) <= kLeafArea && right(cnt - 1) <= kLeafArea) return cnt - 1;
  int best = -1, best_diff = 1 << 30;
  for (int m = 1; m < cnt; ++m) {
    int l = left(m), r = right(m);
    if (l > kLeafArea || r > kLeafArea) continue;
    if (std::abs(l - r) < best_diff) {
      best_diff = std::abs(l - r);
      best = m;
    }
  }
  return best;
}

Status TagImpl::SplitUp(std::vector<std::pair<NodeRef, int>>& path, int level) {
  for (;;) {
    NodeRef node = path[level].first;
    if (Fits(*node)) {
      PropagateMax(path, level);
      return Status::OK();
    }
    if (!node->leaf() && level > 0) {
      bool done;
      XB_RETURN_IF_ERROR(ShiftToSibling(path, level, &done));
      if (done) return Status::OK();
    }
    int n = node->n();
    int at = path[level].second;  // where the new entry went (leaf) / the split child
    bool append = node->right == kNoPage && (node->leaf() ? at == n - 1 : at + 1 == n - 1);
    int m;
    if (node->leaf()) {
      m = LeafSplitPoint(*node, pad_, append);
      if (m < 1) return Corrupt(node->off, "leaf cannot be split");
    } else {
      m = append ? n - 1 : n / 2;
    }
    NodeRef right;
    XB_RETURN_IF_ERROR(NewNode(node->attr & kAttrLeaf, &right));
    node->MoveTail(m, right.get());
    right->min_rec = node->min_rec;
    right->left = node->off;
    right->right = node->right;
    if (node->right != kNoPage) {
      NodeRef rr;
      XB_RETURN_IF_ERROR(Load(node->right, &rr));
      rr->left = right->off;
      file_->MarkDirty(rr);
    }
    node->right = right->off;
    bool was_root = level == 0;
    node->attr &= static_cast<uint16_t>(~kAttrRoot);
    file_->MarkDirty(node);
    if (was_root) {
      NodeRef root;
      XB_RETURN_IF_ERROR(NewNode(kAttrRoot, &root));
      root->Insert(0, node->last_key(), node->last_rec(), node->off);
      root->Insert(1, right->last_key(), right->last_rec(), right->off);
      set_root(root->off);
      return Status::OK();
    }
    NodeRef parent = path[level - 1].first;
    int ci = path[level - 1].second;
    parent->SetKey(ci, node->last_key(), node->last_rec());
    parent->Insert(ci + 1, right->last_key(), right->last_rec(), right->off);
    file_->MarkDirty(parent);
    --level;
  }
}

Status TagImpl::DoInsert(const std::string& key, uint32_t recno) {
  if (file_->read_only()) return Status::ReadOnly(file_->path() + ": index opened read-only");
  XB_RETURN_IF_ERROR(CheckUsable());
  Target& t = target_;  // its key's room is kept from change to change
  t.mode = Target::kEntry;
  t.rec = recno;
  XB_RETURN_IF_ERROR(PadKey(key, &t.key));
  const std::string& k = t.key;
  Pos pos;
  if (def_.unique) {
    bool valid;
    XB_RETURN_IF_ERROR(Find(Target{Target::kPrefixLow, k, 0}, &pos));
    XB_RETURN_IF_ERROR(Normalize(&pos, &valid));
    if (valid && std::memcmp(pos.leaf->key(pos.idx), k.data(), k.size()) == 0) return Status::OK();
  }
  auto& path = path_;
  path.clear();
  XB_RETURN_IF_ERROR(Find(t, &pos, &path));
  NodeRef leaf = pos.leaf;
  if (pos.idx < leaf->n() &&
      CompareEntry(leaf->key(pos.idx), leaf->recs[pos.idx], k.data(), recno, klen()) == 0) {
    return Status::Exists(file_->path() + ": tag " + def_.name + " already holds record " +
                          std::to_string(recno) + " under this key");
  }
  leaf->Insert(pos.idx, k.data(), recno, 0);
  file_->MarkDirty(leaf);
  Status s = SplitUp(path, static_cast<int>(path.size()) - 1);
  path.clear();  // the pages are not held past the change
  return s;
}

Status TagImpl::Unlink(Node* n) {
  if (n->left != kNoPage) {
    NodeRef l;
    XB_RETURN_IF_ERROR(Load(n->left, &l));
    l->right = n->right;
    file_->MarkDirty(l);
  }
  if (n->right != kNoPage) {
    NodeRef r;
    XB_RETURN_IF_ERROR(Load(n->right, &r));
    r->left = n->left;
    file_->MarkDirty(r);
  }
  return Status::OK();
}

static bool CanMerge(const Node& a, const Node& b, char pad) {
  if (a.leaf() != b.leaf()) return false;
  if (!a.leaf()) return a.n() + b.n() <= InteriorCapacity(a.klen);
  return MergedLeafBytes(a, b, pad) <= kLeafArea;
}

Status TagImpl::FixUnderflow(std::vector<std::pair<NodeRef, int>>& path, int level) {
  for (;;) {
    NodeRef node = path[level].first;
    if (level == 0) {
      // The root: drop levels with a single child; an empty tree is one
      // empty root leaf.
      for (int depth = 0; !node->leaf() && node->n() == 1; ++depth) {
        if (depth > kMaxDepth) return Corrupt(node->off, "tree deeper than 64 levels");
        NodeRef child;
        XB_RETURN_IF_ERROR(Load(node->kids[0], &child));
        child->attr |= kAttrRoot;
        child->left = child->right = kNoPage;
        file_->MarkDirty(child);
        file_->FreePage(node->off);
        set_root(child->off);
        node = child;
      }
      if (!node->leaf() && node->n() == 0) {
        node->attr = kAttrRoot | kAttrLeaf;
        node->key_bytes = -1;
        node->kids.clear();
        file_->MarkDirty(node);
      }
      return Status::OK();
    }
    NodeRef parent = path[level - 1].first;
    int ci = path[level - 1].second;
    if (node->n() == 0) {
      XB_RETURN_IF_ERROR(Unlink(node.get()));
      file_->FreePage(node->off);
      parent->Erase(ci);
      file_->MarkDirty(parent);
      --level;
      continue;
    }
    if (Underfull(*node)) {
      if (ci > 0) {
        NodeRef l;
        XB_RETURN_IF_ERROR(Load(parent->kids[ci - 1], &l));
        if (l->off == node->left && CanMerge(*l, *node, pad_)) {
          XB_RETURN_IF_ERROR(Unlink(node.get()));
          node->MoveTail(0, l.get());
          l->min_rec = std::max(l->min_rec, node->min_rec);
          file_->FreePage(node->off);
          parent->Erase(ci);
          parent->SetKey(ci - 1, l->last_key(), l->last_rec());
          file_->MarkDirty(l);
          file_->MarkDirty(parent);
          --level;
          continue;
        }
      }
      if (ci + 1 < parent->n()) {
        NodeRef r;
        XB_RETURN_IF_ERROR(Load(parent->kids[ci + 1], &r));
        if (r->off == node->right && CanMerge(*node, *r, pad_)) {
          XB_RETURN_IF_ERROR(Unlink(r.get()));
          r->MoveTail(0, node.get());
          node->min_rec = std::max(node->min_rec, r->min_rec);
          file_->FreePage(r->off);
          parent->Erase(ci + 1);
          parent->SetKey(ci, node->last_key(), node->last_rec());
          file_->MarkDirty(node);
          file_->MarkDirty(parent);
          --level;
          continue;
        }
      }
    }
    PropagateMax(path, level);
    return Status::OK();
  }
}

Status TagImpl::DoRemove(const std::string& key, uint32_t recno) {
  if (file_->read_only()) return Status::ReadOnly(file_->path() + ": index opened read-only");
  XB_RETURN_IF_ERROR(CheckUsable());
  Target& t = target_;  // its key's room is kept from change to change
  t.mode = Target::kEntry;
  t.rec = recno;
  XB_RETURN_IF_ERROR(PadKey(key, &t.key));
  const std::string& k = t.key;
  auto& path = path_;
  path.clear();
  Pos pos;
  XB_RETURN_IF_ERROR(Find(t, &pos, &path));
  NodeRef leaf = pos.leaf;
  if (pos.idx >= leaf->n() ||
      CompareEntry(leaf->key(pos.idx), leaf->recs[pos.idx], k.data(), recno, klen()) != 0) {
    return Status::NotFound(file_->path() + ": tag " + def_.name + " has no entry for record " +
                            std::to_string(recno) + " under this key");
  }
  leaf->Erase(pos.idx);
  file_->MarkDirty(leaf);
  Status s = FixUnderflow(path, static_cast<int>(path.size()) - 1);
  path.clear();  // the pages are not held past the change
  return s;
}

Status TagImpl::DoBuild(const std::vector<std::pair<std::string, uint32_t>>& entries) {
  if (file_->read_only()) return Status::ReadOnly(file_->path() + ": index opened read-only");
  XB_RETURN_IF_ERROR(CheckUsable());
  // Padded, checked and (for unique tags) thinned copy of the entries.
  std::vector<std::string> keys;
  std::vector<uint32_t> recs;
  keys.reserve(entries.size());
  recs.reserve(entries.size());
  for (auto& [key, rec] : entries) {
    std::string k;
    XB_RETURN_IF_ERROR(PadKey(key, &k));
    if (!keys.empty()) {
      int c = CompareEntry(keys.back().data(), recs.back(), k.data(), rec, klen());
      if (c >= 0) {
        return Status::InvalidArgument(file_->path() + ": tag " + def_.name +
                                       ": Build needs entries sorted by key and record number");
      }
      if (def_.unique && keys.back() == k) continue;
    }
    keys.push_back(std::move(k));
    recs.push_back(rec);
  }
  std::vector<uint32_t> old;
  XB_RETURN_IF_ERROR(CollectPages(&old));
  for (uint32_t p : old) file_->FreePage(p);

  // Leaves as full as they go, with one entry layout wide enough for the
  // largest record number (as Harbour builds them), then each interior level
  // over the one below.
  uint32_t max_rec = 0;
  for (uint32_t r : recs) max_rec = std::max(max_rec, r);
  std::vector<NodeRef> level;
  LeafSizer sizer(klen(), pad_, max_rec);
  for (size_t i = 0; i <= keys.size(); ++i) {
    bool start =
        level.empty() || (i < keys.size() && sizer.SizeWith(keys[i].data(), recs[i]) > kLeafArea);
    if (i == keys.size() && !level.empty()) break;
    if (start) {
      NodeRef leaf;
      XB_RETURN_IF_ERROR(NewNode(kAttrLeaf, &leaf));
      if (!level.empty()) {
        leaf->left = level.back()->off;
        level.back()->right = leaf->off;
      }
      leaf->min_rec = max_rec;
      level.push_back(leaf);
      sizer.Reset(max_rec);
    }
    if (i == keys.size()) break;
    level.back()->Insert(level.back()->n(), keys[i].data(), recs[i], 0);
    sizer.Add(keys[i].data(), recs[i]);
  }
  int cap = InteriorCapacity(klen());
  while (level.size() > 1) {
    size_t parents = (level.size() + cap - 1) / cap;
    std::vector<NodeRef> up;
    size_t next = 0;
    for (size_t p = 0; p < parents; ++p) {
      size_t take = level.size() / parents + (p < level.size() % parents ? 1 : 0);
      NodeRef node;
      XB_RETURN_IF_ERROR(NewNode(0, &node));
      if (!up.empty()) {
        node->left = up.back()->off;
        up.back()->right = node->off;
      }
      for (size_t j = 0; j < take; ++j, ++next) {
        Node& c = *level[next];
        node->Insert(node->n(), c.last_key(), c.last_rec(), c.off);
      }
      up.push_back(node);
    }
    level = std::move(up);
  }
  level[0]->attr |= kAttrRoot;
  set_root(level[0]->off);
  file_->Touch();
  return Status::OK();
}

// --- public entry points -----------------------------------------------------

Status TagImpl::Insert(const std::string& key, uint32_t recno) {
  return file_->Write([&] { return DoInsert(key, recno); });
}

Status TagImpl::Remove(const std::string& key, uint32_t recno) {
  return file_->Write([&] { return DoRemove(key, recno); });
}

Status TagImpl::Build(const std::vector<std::pair<std::string, uint32_t>>& entries) {
  return file_->Write([&] { return DoBuild(entries); });
}

std::unique_ptr<CdxCursor> TagImpl::NewCursor() {
  return std::make_unique<CursorImpl>(this);
}

}  // namespace xb::cdx
