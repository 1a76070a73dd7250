// CdxTag reading: the header, descents and walks of the B-tree of one tag. Interior keys are the
// highest (key, recno) of their child; leaves are chained left/right. Equal keys are ordered by
// record number; descending tags are stored ascending and walked backwards.
#include <algorithm>
#include <unordered_set>

#include "xbase/cdx_impl.h"

namespace xb::cdx {
namespace {

constexpr int kMaxDepth = 64;
constexpr int kMaxEmptyHops = 16;
// Leaves read ahead by a walk that finds its next leaf out of the cache.
constexpr int kReadAhead = 3;

}  // namespace

TagImpl::TagImpl(FileImpl* file, uint32_t header_off, const uint8_t* header)
    : file_(file), header_off_(header_off) {
  ReplaceHeader(header);
}

void TagImpl::ReplaceHeader(const uint8_t* h) {
  std::memcpy(header_.data(), h, kHeaderSize);
  root_ = GetLE32(h + kHdrRoot);
  def_.key_len = GetLE16(h + kHdrKeyLen);
  def_.unique = (h[kHdrOptions] & kOptUnique) != 0;
  def_.descending = header_off_ != 0 && GetLE16(h + kHdrDescending) != 0;
  auto expr = [&](int pos_at, int len_at) {
    int pos = GetLE16(h + pos_at), len = GetLE16(h + len_at);
    if (pos + len > kExprPool) return std::string();
    const char* p = reinterpret_cast<const char*>(h + kHdrPool + pos);
    return std::string(p, strnlen(p, static_cast<size_t>(len)));
  };
  def_.key_expr = expr(kHdrKeyPos, kHdrKeyExprLen);
  def_.for_expr = expr(kHdrForPos, kHdrForLen);
  header_dirty_ = false;
}

void TagImpl::SetKeyType(KeyType type) {
  def_.key_type = type;
  char pad = type == KeyType::kChar ? ' ' : '\0';
  if (pad != pad_) {
    pad_ = pad;
    file_->DropPagesOf(this);  // decoded with the other padding
  }
}

void TagImpl::set_root(uint32_t r) {
  root_ = r;
  PutLE32(header_.data() + kHdrRoot, r);
  header_dirty_ = true;
}

Status TagImpl::CheckUsable() const {
  const uint8_t* h = header_.data();
  // Runs before every descent: the message is only built for a failure.
  if (!dropped_ && def_.key_len >= 1 && def_.key_len <= kMaxKeyLen &&
      GetLE16(h + kHdrKeyPos) + GetLE16(h + kHdrKeyExprLen) <= kExprPool &&
      GetLE16(h + kHdrForPos) + GetLE16(h + kHdrForLen) <= kExprPool)
    return Status::OK();
  std::string what = header_off_ == 0 ? "tag directory" : "tag " + def_.name;
  if (dropped_) return Status::NotFound(file_->path() + ": " + what + " no longer exists");
  if (def_.key_len < 1 || def_.key_len > kMaxKeyLen) {
    return Status::Corrupt(file_->path() + ": " + what + ": header at " + HexOffset(header_off_) +
                           ": key length " + std::to_string(def_.key_len) + " is not 1 to 240");
  }
  if (GetLE16(h + kHdrKeyPos) + GetLE16(h + kHdrKeyExprLen) > kExprPool ||
      GetLE16(h + kHdrForPos) + GetLE16(h + kHdrForLen) > kExprPool) {
    return Status::Corrupt(file_->path() + ": " + what + ": header at " + HexOffset(header_off_) +
                           ": expression outside the header");
  }
  return Status::OK();
}

Status TagImpl::Corrupt(uint32_t page, const std::string& what) const {
  std::string tag = header_off_ == 0 ? "tag directory" : "tag " + def_.name;
  return Status::Corrupt(file_->path() + ": " + tag + ": page " + HexOffset(page) + ": " + what);
}

Status TagImpl::Load(uint32_t off, NodeRef* out) {
  return file_->ReadNode(this, off, out);
}

Status TagImpl::PadKey(const std::string& key, std::string* out) const {
  if (key.size() > static_cast<size_t>(klen())) {
    return Status::InvalidArgument(file_->path() + ": tag " + def_.name + ": key of " +
                                   std::to_string(key.size()) + " bytes, the tag holds " +
                                   std::to_string(klen()));
  }
  *out = key;
  out->resize(static_cast<size_t>(klen()), pad_);
  return Status::OK();
}

int TagImpl::Compare(const Node& n, int i, const Target& t) const {
  const char* k = n.key(i);
  if (t.mode == Target::kEntry) return CompareEntry(k, n.recs[i], t.key.data(), t.rec, klen());
  int c = CompareKeys(k, t.key.data(), t.key.size());
  if (t.mode == Target::kPrefixLow) return c < 0 ? -1 : 1;
  return c <= 0 ? -1 : 1;
}

// Asks for the key bytes a binary search over `n` will compare. In a large
// index most descents find the node's keys out of the processor's caches,
// and the search's probes depend on each other: fetched one by one, every
// level of the tree waits for four to six memory reads. Requested together
// up front, they arrive in about the time of one.
static void PrefetchKeys(const Node& n) {
  constexpr size_t kLine = 64, kAllUpTo = 32 * kLine;
  // While every decoded page of the process would fit the processor's
  // caches, the keys are most likely there already.
  if (PageCache::TotalBytes() < (4u << 20)) return;
  // The child pointers (interior) or record numbers (leaf) the search ends
  // with live in their own buffer: one more read to start early.
  const auto& tail = n.leaf() ? n.recs : n.kids;
  const char* t = reinterpret_cast<const char*>(tail.data());
  for (size_t o = 0; o < tail.size() * sizeof(uint32_t); o += kLine) __builtin_prefetch(t + o);
  const char* k = n.keys.data();
  const size_t bytes = n.keys.size();
  if (bytes <= kAllUpTo) {
    for (size_t o = 0; o < bytes; o += kLine) __builtin_prefetch(k + o);
    return;
  }
  // A large node (long keys): the keys of the search's first three steps.
  const int count = n.n(), klen = n.klen;
  for (int e = 1; e < 8; ++e) {
    const char* key = n.key(count * e / 8);
    __builtin_prefetch(key);
    __builtin_prefetch(key + klen - 1);
  }
}

// Asks for the decoded nodes of all of an interior node's children while
// the search picks one of them: the next level's node is then found without
// waiting for its descriptor to come from memory (a handful of children to
// a page: long keys give interior pages a small fan-out).
static void PrefetchChildren(const Node& n, const FileImpl& file) {
  if (PageCache::TotalBytes() < (4u << 20)) return;
  for (uint32_t kid : n.kids) {
    const char* c = reinterpret_cast<const char*>(file.PeekNode(kid));
    if (!c) continue;
    // The use count just before the node, then the fields a descent reads
    // (kind, owner, buffers).
    __builtin_prefetch(c - 16);
    __builtin_prefetch(c + 48);
    __builtin_prefetch(c + 112);
  }
}

int TagImpl::LowerBound(const Node& n, const Target& t) const {
  int lo = 0, hi = n.n();
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (Compare(n, mid, t) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

Status TagImpl::Find(const Target& t, Pos* pos, std::vector<std::pair<NodeRef, int>>* path) {
  XB_RETURN_IF_ERROR(CheckUsable());
  // Cached pages are stepped through by the cache's own reference (no
  // reference count traffic per level); only a page this descent had to
  // read is held here. A parent may be evicted by its child's read, but by
  // then it is no longer looked at.
  NodeRef held;
  const NodeRef* at = file_->CachedNode(this, root_);
  if (!at) {
    XB_RETURN_IF_ERROR(Load(root_, &held));
    at = &held;
  }
  for (int depth = 0;; ++depth) {
    const Node& n = **at;
    if (depth > kMaxDepth) return Corrupt(n.off, "tree deeper than 64 levels");
    // The node's own keys and child pointers are asked for first: finding
    // the children's nodes waits for the child pointers, and the keys'
    // reads should be under way during that wait, not queued behind it.
    PrefetchKeys(n);
    if (!n.leaf()) PrefetchChildren(n, *file_);
    int i = LowerBound(n, t);
    if (n.leaf()) {
      if (path) path->emplace_back(*at, i);
      pos->leaf = *at;
      pos->idx = i;
      return Status::OK();
    }
    if (n.n() == 0) return Corrupt(n.off, "empty interior node");
    if (i == n.n()) i = n.n() - 1;
    if (path) path->emplace_back(*at, i);
    const uint32_t kid = n.kids[i];
    if (const NodeRef* hit = file_->CachedNode(this, kid)) {
      at = hit;
      continue;
    }
    // Reading may evict `n` (and move the cache's slots): done with it.
    NodeRef c;
    XB_RETURN_IF_ERROR(Load(kid, &c));
    held = std::move(c);
    at = &held;
  }
}

Status TagImpl::Edge(bool last, Pos* pos) {
  XB_RETURN_IF_ERROR(CheckUsable());
  NodeRef n;
  XB_RETURN_IF_ERROR(Load(root_, &n));
  for (int depth = 0; !n->leaf(); ++depth) {
    if (depth > kMaxDepth) return Corrupt(n->off, "tree deeper than 64 levels");
    if (n->n() == 0) return Corrupt(n->off, "empty interior node");
    NodeRef c;
    XB_RETURN_IF_ERROR(Load(last ? n->kids.back() : n->kids.front(), &c));
    n = std::move(c);
  }
  pos->idx = last ? n->n() : 0;
  pos->leaf = std::move(n);
  return Status::OK();
}

Status TagImpl::LoadSibling(uint32_t off, bool forward, NodeRef* out) {
  // A walk over a tag larger than the page cache finds every leaf out of it,
  // and each read outside a change takes and lets go of the shared lock:
  // two system calls per leaf, more than decoding it. Reading the next few
  // leaves under the lock the first one took makes it one pair per several.
  const bool miss = file_->PeekNode(off) == nullptr;
  XB_RETURN_IF_ERROR(Load(off, out));
  if (!miss || !file_->holds_lock() || !(*out)->leaf()) return Status::OK();
  NodeRef from = *out;  // held: reading the next may evict unheld pages
  for (int i = 0; i < kReadAhead; ++i) {
    uint32_t next = forward ? from->right : from->left;
    if (next == kNoPage || file_->PeekNode(next)) break;
    NodeRef n;
    // A page that cannot be read is reported when the walk gets there.
    if (!Load(next, &n).ok() || !n->leaf()) break;
    from = std::move(n);
  }
  return Status::OK();
}

Status TagImpl::Normalize(Pos* pos, bool* valid) {
  // Keys must keep growing from leaf to leaf: that also stops sibling loops.
  NodeRef prev = pos->leaf;
  for (int hops = 0; pos->idx >= pos->leaf->n(); ++hops) {
    uint32_t right = pos->leaf->right;
    if (right == kNoPage) {
      *valid = false;
      return Status::OK();
    }
    if (hops > kMaxEmptyHops) return Corrupt(right, "chain of empty leaves");
    NodeRef r;
    XB_RETURN_IF_ERROR(LoadSibling(right, true, &r));
    if (!r->leaf()) return Corrupt(right, "right sibling of a leaf is not a leaf");
    if (r->n() > 0 && prev->n() > 0 &&
        CompareEntry(prev->last_key(), prev->last_rec(), r->key(0), r->recs[0], klen()) >= 0) {
      return Corrupt(right, "keys out of order across leaves (sibling loop?)");
    }
    if (r->n() > 0) prev = r;
    pos->leaf = std::move(r);
    pos->idx = 0;
  }
  *valid = true;
  return Status::OK();
}

Status TagImpl::Forward(Pos* pos, bool* valid) {
  ++pos->idx;
  return Normalize(pos, valid);
}

Status TagImpl::Back(Pos* pos, bool* valid) {
  if (pos->idx > pos->leaf->n()) pos->idx = pos->leaf->n();
  if (pos->idx > 0) {
    --pos->idx;
    *valid = true;
    return Status::OK();
  }
  NodeRef next = pos->leaf;
  for (int hops = 0;; ++hops) {
    uint32_t left = pos->leaf->left;
    if (left == kNoPage) {
      *valid = false;
      return Status::OK();
    }
    if (hops > kMaxEmptyHops) return Corrupt(left, "chain of empty leaves");
    NodeRef l;
    XB_RETURN_IF_ERROR(LoadSibling(left, false, &l));
    if (!l->leaf()) return Corrupt(left, "left sibling of a leaf is not a leaf");
    if (l->n() > 0 && next->n() > 0 &&
        CompareEntry(l->last_key(), l->last_rec(), next->key(0), next->recs[0], klen()) >= 0) {
      return Corrupt(left, "keys out of order across leaves (sibling loop?)");
    }
    if (l->n() > 0) {
      pos->idx = l->n() - 1;
      pos->leaf = std::move(l);
      *valid = true;
      return Status::OK();
    }
    pos->leaf = std::move(l);
  }
}

Status TagImpl::CollectPages(std::vector<uint32_t>* pages) {
  XB_RETURN_IF_ERROR(CheckUsable());
  std::unordered_set<uint32_t> seen;
  std::vector<std::pair<uint32_t, int>> stack{{root_, 0}};
  while (!stack.empty()) {
    auto [off, depth] = stack.back();
    stack.pop_back();
    if (!seen.insert(off).second) return Corrupt(off, "page reached twice in the tree");
    if (depth > kMaxDepth) return Corrupt(off, "tree deeper than 64 levels");
    NodeRef n;
    XB_RETURN_IF_ERROR(Load(off, &n));
    pages->push_back(off);
    if (!n->leaf()) {
      for (uint32_t k : n->kids) stack.emplace_back(k, depth + 1);
    }
  }
  return Status::OK();
}

}  // namespace xb::cdx
