// CdxFile: the page cache, page allocation and the multi-user protocol
// (index lock byte and change counter).
#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "xbase/cdx_impl.h"

namespace xb::cdx {
namespace {

constexpr char kRestartMessage[] = "\x01restart";

}  // namespace

bool FileImpl::IsRestart(const Status& s) {
  return s.code() == Code::kBusy && s.message() == kRestartMessage;
}

FileImpl::FileImpl(Env* env, std::unique_ptr<File> file, bool read_only)
    : env_(env), file_(std::move(file)), lock_(env, file_.get(), kLockOffset), read_only_(read_only) {}

FileImpl::~FileImpl() {
  if (lock_depth_ > 0) {
    lock_depth_ = 1;
    (void)UnlockWrite();
  }
}

CdxTag* FileImpl::tag(int i) {
  if (i < 0 || i >= tag_count()) return nullptr;
  return tags_[i].get();
}

Status FileImpl::LockShared() {
  if (shared_depth_ > 0 || lock_depth_ > 0) {
    ++shared_depth_;
    return Status::OK();
  }
  // A writer holds the byte only while it updates the tree: wait for it,
  // briefly at first (most writers are done within microseconds), then in
  // steps of a fifth of a millisecond, for up to five seconds. Writers of
  // other engines ask again soon after letting go, so a reader must try
  // often to find the byte free.
  auto start = std::chrono::steady_clock::now();
  auto pause = std::chrono::microseconds(5);
  for (;;) {
    Status s = lock_.Lock(false);
    if (s.ok()) break;
    if (!s.IsBusy() || std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
      return s.IsBusy() ? Status::Busy(path() + ": index locked by another user") : s;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::microseconds(200));
  }
  ++shared_depth_;
  return Status::OK();
}

void FileImpl::UnlockShared() {
  if (--shared_depth_ == 0 && lock_depth_ == 0) (void)lock_.Unlock();
}

Status FileImpl::BeginRead(bool hold) {
  ++read_depth_;
  if (!hold || read_holds_ || lock_depth_ > 0 || shared_depth_ > 0) return Status::OK();
  XB_RETURN_IF_ERROR(LockShared());
  read_holds_ = true;
  uint32_t f, v;
  XB_RETURN_IF_ERROR(ReadCounter(&f, &v));
  if (f != free_head_ || v != version_) return LoadTags();
  return Status::OK();
}

void FileImpl::EndRead() {
  if (--read_depth_ == 0 && read_holds_) {
    read_holds_ = false;
    UnlockShared();
  }
}

Status FileImpl::ReadCounter(uint32_t* free_head, uint32_t* version) {
  uint8_t b[8];
  XB_RETURN_IF_ERROR(file_->ReadExact(kHdrFree, b, 8));
  *free_head = GetLE32(b);
  *version = GetBE32(b + 4);
  return Status::OK();
}

void FileImpl::DropCache() {
  cache_.Clear();
  for (auto& n : dirty_) n->dirty = false;
  dirty_.clear();
  freed_.clear();
  ++gen_;
}

Status FileImpl::Load() {
  XB_RETURN_IF_ERROR(LockShared());
  Status s = LoadTags();
  UnlockShared();
  return s;
}

Status FileImpl::ReadNode(TagImpl* tag, uint32_t off, NodeRef* out) {
  if (const NodeRef* hit = cache_.Find(off)) {
    if ((*hit)->owner != tag) return tag->Corrupt(off, "page belongs to another tag");
    *out = *hit;
    return Status::OK();
  }
  if (off % kPageSize != 0 || off < kHeaderSize || off + kPageSize > file_end_) {
    return tag->Corrupt(off, "page pointer outside the file");
  }
  if (header_pages_.count(off)) return tag->Corrupt(off, "page pointer into a tag header");
  if (freed_.count(off)) return tag->Corrupt(off, "pointer to a free page");
  bool locked_here = false;
  if (lock_depth_ == 0 && shared_depth_ == 0) {
    // First page read since the cache was checked: make sure no writer has
    // changed the file meanwhile, and keep writers out while reading (for
    // the rest of the operation when there is one under way).
    XB_RETURN_IF_ERROR(LockShared());
    locked_here = true;
    uint32_t f, v;
    Status s = ReadCounter(&f, &v);
    if (s.ok() && (f != free_head_ || v != version_)) {
      s = LoadTags();
      if (s.ok()) s = Status::Busy(kRestartMessage);
    }
    if (!s.ok()) {
      UnlockShared();
      return s;
    }
    if (read_depth_ > 0) {
      read_holds_ = true;
      locked_here = false;
    }
  }
  uint8_t page[kPageSize];
  Status s = file_->ReadExact(off, page, kPageSize);
  if (locked_here) UnlockShared();
  XB_RETURN_IF_ERROR(s);
  NodeRef n = cache_.NewNode();
  // A leaf read by a change is about to be edited: its page as read is the
  // image the edit patches (reads outside changes keep no image: most of
  // their leaves are never written).
  s = DecodeNode(page, tag->klen(), tag->pad(), n.get(), lock_depth_ > 0);
  if (!s.ok()) return tag->Corrupt(off, s.message());
  n->Fit();
  n->off = off;
  n->owner = tag;
  cache_.Put(n);
  *out = std::move(n);
  return Status::OK();
}

void FileImpl::DropPagesOf(const TagImpl* tag) {
  cache_.EraseIf([tag](const Node& n) { return n.owner == tag && !n.dirty; });
  ++gen_;
}

void FileImpl::MarkDirty(const NodeRef& n) {
  if (!n->dirty) {
    n->dirty = true;
    dirty_.push_back(n);
  }
  cache_.Recharge(*n);
  ++gen_;
}

Result<uint32_t> FileImpl::AllocPage() {
  changed_ = true;
  if (free_head_ != 0 && free_head_ != kNoPage) {
    uint32_t p = free_head_;
    if (p % kPageSize != 0 || p < kHeaderSize || p + kPageSize > file_end_ ||
        header_pages_.count(p) || cache_.Contains(p)) {
      return Status::Corrupt(path() + ": free page list points to " + HexOffset(p) +
                             ", which is not a free page");
    }
    auto it = freed_.find(p);
    if (it != freed_.end()) {
      free_head_ = it->second;
      freed_.erase(it);
    } else {
      uint8_t b[4];
      XB_RETURN_IF_ERROR(file_->ReadExact(p, b, 4));
      free_head_ = GetLE32(b);
    }
    return p;
  }
  if (file_end_ + kPageSize > 0xFFFFFFFFull) {
    return Status::NotSupported(path() + ": compound index would exceed 4 GB");
  }
  uint32_t p = static_cast<uint32_t>(file_end_);
  file_end_ += kPageSize;
  return p;
}

Result<uint32_t> FileImpl::AllocHeader() {
  // Headers always go to the end of the file, like the other engines do.
  changed_ = true;
  if (file_end_ + kHeaderSize > 0xFFFFFFFFull) {
    return Status::NotSupported(path() + ": compound index would exceed 4 GB");
  }
  uint32_t p = static_cast<uint32_t>(file_end_);
  file_end_ += kHeaderSize;
  header_pages_.insert(p);
  header_pages_.insert(p + kPageSize);
  return p;
}

void FileImpl::FreePage(uint32_t off) {
  if (const NodeRef* n = cache_.Find(off)) {
    (*n)->dirty = false;
    cache_.Erase(off);
  }
  header_pages_.erase(off);
  freed_[off] = free_head_;
  free_head_ = off;
  changed_ = true;
  ++gen_;
}

Status FileImpl::CollectWrites(std::vector<PageWrite>* out, uint32_t counter) {
  // A change that stopped half-way on a damaged tree (a split whose sibling
  // could not be read) leaves a node too full for its page. Such a node must
  // not be encoded, and the rest of that change must not reach the disk
  // either: refuse the whole change (the caller drops the cache).
  for (auto& n : dirty_) {
    if (!n->dirty) continue;
    auto* tag = static_cast<const TagImpl*>(n->owner);
    bool fits = n->leaf() ? LeafBytes(*n, 0, n->n(), tag->pad()) <= kLeafArea
                          : n->n() <= InteriorCapacity(n->klen);
    if (!fits) return tag->Corrupt(n->off, "page overfull after a failed change");
  }
  // Room for everything first: the writes point into the buffer.
  const size_t need = (dirty_.size() + freed_.size()) * kPageSize + (1 + tags_.size()) * kHeaderSize;
  if (page_buf_.size() < need) page_buf_.resize(need);
  uint8_t* at = page_buf_.data();
  for (auto& n : dirty_) {
    if (!n->dirty) continue;  // freed meanwhile
    auto* tag = static_cast<const TagImpl*>(n->owner);
    EncodeNode(*n, tag->pad(), at);
    out->push_back({n->off, at, kPageSize});
    at += kPageSize;
    n->dirty = false;
  }
  dirty_.clear();
  for (auto& [off, next] : freed_) {
    std::memset(at, 0, kPageSize);
    PutLE32(at, next);
    out->push_back({off, at, kPageSize});
    at += kPageSize;
  }
  freed_.clear();
  auto add_header = [&](TagImpl* t) {
    if (!t->header_dirty()) return;
    std::memcpy(at, t->header().data(), kHeaderSize);
    if (t->header_off() == 0) {
      // The counter moves on only when the whole change is on disk.
      PutLE32(at + kHdrFree, disk_free_);
      PutBE32(at + kHdrVersion, counter);
    }
    out->push_back({t->header_off(), at, kHeaderSize});
    at += kHeaderSize;
    t->clear_header_dirty();
  };
  add_header(dir_.get());
  for (auto& t : tags_) add_header(t.get());
  if (!out->empty()) changed_ = true;
  return Status::OK();
}

Status FileImpl::LockWrite() {
  if (read_only_) return Status::ReadOnly(path() + ": index opened read-only");
  if (lock_depth_ > 0) {
    ++lock_depth_;
    return Status::OK();
  }
  Status s = lock_.Lock(true);
  if (!s.ok()) return s.IsBusy() ? Status::Busy(path() + ": index locked by another user") : s;
  lock_depth_ = 1;
  changed_ = false;
  uint32_t f = 0, v = 0;
  s = ReadCounter(&f, &v);
  // An odd counter under a free lock: a writer died in the middle of a change.
  if (s.ok() && v % 2 != 0) {
    s = RollBack(file_.get(), v);
    if (s.ok()) s = ReadCounter(&f, &v);
  }
  // Every writer moves the counter when it changes a page, so with the
  // counter as we left it the file's end is where our last commit left it
  // (pages a rolled-back writer added past it are unused: writing over them
  // is fine) and the size need not be asked for.
  uint64_t size = disk_end_;
  const bool unchanged = f == free_head_ && v == version_;
  if (s.ok() && (!unchanged || disk_end_ == 0)) s = file_->Size(&size);
  if (s.ok() && (!unchanged || RoundUpToPage(size) != file_end_)) s = LoadTags();
  disk_free_ = free_head_;
  disk_version_ = version_;
  disk_end_ = size;
  if (!s.ok()) {
    lock_depth_ = 0;
    (void)lock_.UnlockNow();
  }
  return s;
}

Status FileImpl::UnlockWrite() {
  if (lock_depth_ == 0) return Status::InvalidArgument(path() + ": index is not locked");
  if (lock_depth_ > 1) {
    --lock_depth_;
    return Status::OK();
  }
  Status s = Commit();
  changed_ = false;
  if (!s.ok()) DropCache();  // what is on disk is unknown: re-read it next time
  lock_depth_ = 0;
  Status u = lock_.Unlock();
  return s.ok() ? u : s;
}

Status FileImpl::Refresh() {
  if (lock_depth_ > 0) return Status::OK();
  uint32_t f, v;
  XB_RETURN_IF_ERROR(ReadCounter(&f, &v));
  if (v % 2 != 0 && v != checked_odd_) {
    XB_RETURN_IF_ERROR(RecoverIfInterrupted());
    XB_RETURN_IF_ERROR(ReadCounter(&f, &v));
  }
  if (f == free_head_ && v == version_) return Status::OK();
  return Load();
}

Status FileImpl::Flush() {
  if (lock_depth_ == 0) return Status::OK();
  return Commit();
}

Status FileImpl::Sync() {
  XB_RETURN_IF_ERROR(Flush());
  return file_->Sync();
}

}  // namespace xb::cdx
