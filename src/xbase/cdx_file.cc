// CdxFile: the tag directory, tag headers, the page cache, page allocation
// and the multi-user protocol (index lock byte and change counter).
#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "xbase/cdx_impl.h"

namespace xb {

namespace cdx {
namespace {

constexpr size_t kMaxCachedPages = 32768;
constexpr char kRestartMessage[] = "\x01restart";

uint64_t RoundUp(uint64_t v) { return (v + kPageSize - 1) / kPageSize * kPageSize; }

std::string Upper(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string Hex(uint64_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
  return buf;
}

// The header of a new structural index: the tag directory with 10-byte tag
// names, written the way Harbour's DBFCDX writes it.
void DirectoryHeader(uint8_t* h, uint32_t root) {
  std::memset(h, 0, kHeaderSize);
  PutLE32(h + kHdrRoot, root);
  PutLE16(h + kHdrKeyLen, kMaxTagName);
  h[kHdrOptions] = kOptCompact | kOptCompound | kOptStructure;
  h[kHdrSignature] = 1;
  PutLE16(h + kHdrHeaderLen, kHeaderSize);
  PutLE16(h + kHdrPageLen, kPageSize);
  std::memcpy(h + kHdrCollation, "RCHB", 4);
  PutLE16(h + kHdrForPos, 1);
  PutLE16(h + kHdrForLen, 1);
  PutLE16(h + kHdrKeyPos, 0);
  PutLE16(h + kHdrKeyExprLen, 1);
}

void TagHeader(const TagSpec& spec, uint8_t* h) {
  std::memset(h, 0, kHeaderSize);
  PutLE16(h + kHdrKeyLen, static_cast<uint16_t>(spec.key_len));
  h[kHdrOptions] = static_cast<uint8_t>(kOptCompact | kOptCompound | (spec.unique ? kOptUnique : 0) |
                                        (spec.for_expr.empty() ? 0 : kOptFor));
  h[kHdrSignature] = 1;
  PutLE16(h + kHdrHeaderLen, kHeaderSize);
  PutLE16(h + kHdrPageLen, kPageSize);
  PutLE16(h + kHdrDescending, spec.descending ? 1 : 0);
  size_t klen = spec.key_expr.size() + 1, flen = spec.for_expr.size() + 1;
  std::memcpy(h + kHdrPool, spec.key_expr.data(), spec.key_expr.size());
  std::memcpy(h + kHdrPool + klen, spec.for_expr.data(), spec.for_expr.size());
  PutLE16(h + kHdrKeyPos, 0);
  PutLE16(h + kHdrKeyExprLen, static_cast<uint16_t>(klen));
  PutLE16(h + kHdrForPos, static_cast<uint16_t>(klen));
  PutLE16(h + kHdrForLen, static_cast<uint16_t>(flen));
}

}  // namespace

bool FileImpl::IsRestart(const Status& s) {
  return s.code() == Code::kBusy && s.message() == kRestartMessage;
}

FileImpl::FileImpl(Env* env, std::unique_ptr<File> file, bool read_only)
    : env_(env), file_(std::move(file)), read_only_(read_only) {}

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

CdxTag* FileImpl::FindTag(const std::string& name) {
  std::string u = Upper(name);
  for (auto& t : tags_) {
    if (t->spec().name == u) return t.get();
  }
  return nullptr;
}

Status FileImpl::LockShared() {
  if (shared_depth_ > 0 || lock_depth_ > 0) {
    ++shared_depth_;
    return Status::OK();
  }
  // A writer holds the byte only while it updates the tree: wait for it.
  for (int i = 0;; ++i) {
    Status s = file_->Lock(kLockOffset, 1, false);
    if (s.ok()) break;
    if (!s.IsBusy() || i >= 5000) return s;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ++shared_depth_;
  return Status::OK();
}

void FileImpl::UnlockShared() {
  if (--shared_depth_ == 0 && lock_depth_ == 0) (void)file_->Unlock(kLockOffset, 1);
}

Status FileImpl::ReadCounter(uint32_t* free_head, uint32_t* version) {
  uint8_t b[8];
  XB_RETURN_IF_ERROR(file_->ReadExact(kHdrFree, b, 8));
  *free_head = GetLE32(b);
  *version = GetBE32(b + 4);
  return Status::OK();
}

void FileImpl::DropCache() {
  nodes_.clear();
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

Status FileImpl::LoadTags() {
  DropCache();
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(file_->Size(&size));
  if (size < kHeaderSize + kPageSize) {
    return Status::Corrupt(path() + ": too short for a compound index (" + std::to_string(size) +
                           " bytes)");
  }
  file_end_ = RoundUp(size);
  uint8_t h[kHeaderSize];
  XB_RETURN_IF_ERROR(file_->ReadExact(0, h, kHeaderSize));
  free_head_ = GetLE32(h + kHdrFree);
  version_ = GetBE32(h + kHdrVersion);
  header_pages_ = {0, kPageSize};
  if (!dir_) {
    dir_ = std::make_unique<TagImpl>(this, 0, h);
  } else {
    dir_->ReplaceHeader(h);
  }
  dir_->mutable_spec().name = "";
  XB_RETURN_IF_ERROR(dir_->CheckUsable());

  // Walk the directory: tag names with the offsets of their headers.
  std::vector<std::pair<std::string, uint32_t>> found;
  Pos p;
  bool valid = false;
  XB_RETURN_IF_ERROR(dir_->Edge(false, &p));
  XB_RETURN_IF_ERROR(dir_->Normalize(&p, &valid));
  while (valid) {
    std::string name(p.leaf->key(p.idx), static_cast<size_t>(dir_->klen()));
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    uint32_t off = p.leaf->recs[p.idx];
    if (name.empty() || off % kPageSize != 0 || off < kHeaderSize || off + kHeaderSize > size) {
      return Status::Corrupt(path() + ": tag directory: entry '" + name + "' points to " +
                             Hex(off) + ", not a tag header");
    }
    for (auto& f : found) {
      if (f.second == off) {
        return Status::Corrupt(path() + ": tag directory: two tags share the header at " + Hex(off));
      }
    }
    found.emplace_back(Upper(name), off);
    XB_RETURN_IF_ERROR(dir_->Forward(&p, &valid));
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.second < b.second; });
  for (auto& f : found) {
    header_pages_.insert(f.second);
    header_pages_.insert(f.second + kPageSize);
  }

  // Reuse the tag objects callers may hold; tags gone from the file stay
  // alive but dropped.
  std::vector<std::unique_ptr<TagImpl>> old = std::move(tags_);
  tags_.clear();
  for (auto& f : found) {
    XB_RETURN_IF_ERROR(file_->ReadExact(f.second, h, kHeaderSize));
    std::unique_ptr<TagImpl> t;
    for (auto& o : old) {
      if (o && o->header_off() == f.second && o->spec().name == f.first) {
        t = std::move(o);
        break;
      }
    }
    if (t) {
      t->ReplaceHeader(h);
    } else {
      t = std::make_unique<TagImpl>(this, f.second, h);
    }
    t->mutable_spec().name = f.first;
    Status s = t->CheckUsable();
    tags_.push_back(std::move(t));
    XB_RETURN_IF_ERROR(s);
  }
  for (auto& o : old) {
    if (o) {
      o->set_dropped();
      dropped_.push_back(std::move(o));
    }
  }
  return Status::OK();
}

Status FileImpl::ReadNode(TagImpl* tag, uint32_t off, NodeRef* out) {
  auto it = nodes_.find(off);
  if (it != nodes_.end()) {
    if (it->second->owner != tag) return tag->Corrupt(off, "page belongs to another tag");
    *out = it->second;
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
    // changed the file meanwhile, and keep writers out while reading.
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
  }
  uint8_t page[kPageSize];
  Status s = file_->ReadExact(off, page, kPageSize);
  if (locked_here) UnlockShared();
  XB_RETURN_IF_ERROR(s);
  auto n = std::make_shared<Node>();
  s = DecodeNode(page, tag->klen(), tag->pad(), n.get());
  if (!s.ok()) return tag->Corrupt(off, s.message());
  n->off = off;
  n->owner = tag;
  if (nodes_.size() >= kMaxCachedPages) Evict();
  nodes_[off] = n;
  *out = std::move(n);
  return Status::OK();
}

void FileImpl::Evict() {
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    if (!it->second->dirty && it->second.use_count() == 1) {
      it = nodes_.erase(it);
    } else {
      ++it;
    }
  }
}

void FileImpl::MarkDirty(const NodeRef& n) {
  if (!n->dirty) {
    n->dirty = true;
    dirty_.push_back(n);
  }
  ++gen_;
}

Result<uint32_t> FileImpl::AllocPage() {
  changed_ = true;
  if (free_head_ != 0 && free_head_ != kNoPage) {
    uint32_t p = free_head_;
    if (p % kPageSize != 0 || p < kHeaderSize || p + kPageSize > file_end_ ||
        header_pages_.count(p) || nodes_.count(p)) {
      return Status::Corrupt(path() + ": free page list points to " + Hex(p) +
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
  auto it = nodes_.find(off);
  if (it != nodes_.end()) {
    it->second->dirty = false;
    nodes_.erase(it);
  }
  header_pages_.erase(off);
  freed_[off] = free_head_;
  free_head_ = off;
  changed_ = true;
  ++gen_;
}

Status FileImpl::FlushDirty() {
  uint8_t page[kPageSize];
  for (auto& n : dirty_) {
    if (!n->dirty) continue;  // freed meanwhile
    auto* tag = static_cast<const TagImpl*>(n->owner);
    EncodeNode(*n, tag->pad(), page);
    XB_RETURN_IF_ERROR(file_->WriteAt(n->off, page, kPageSize));
    n->dirty = false;
    changed_ = true;
  }
  dirty_.clear();
  for (auto& [off, next] : freed_) {
    std::memset(page, 0, kPageSize);
    PutLE32(page, next);
    XB_RETURN_IF_ERROR(file_->WriteAt(off, page, kPageSize));
    changed_ = true;
  }
  freed_.clear();
  auto write_header = [&](TagImpl* t) -> Status {
    if (!t->header_dirty()) return Status::OK();
    auto& h = t->header();
    if (t->header_off() == 0) {
      PutLE32(h.data() + kHdrFree, free_head_);
      PutBE32(h.data() + kHdrVersion, version_);
    }
    XB_RETURN_IF_ERROR(file_->WriteAt(t->header_off(), h.data(), kHeaderSize));
    t->clear_header_dirty();
    changed_ = true;
    return Status::OK();
  };
  XB_RETURN_IF_ERROR(write_header(dir_.get()));
  for (auto& t : tags_) XB_RETURN_IF_ERROR(write_header(t.get()));
  return Status::OK();
}

Status FileImpl::LockWrite() {
  if (read_only_) return Status::ReadOnly(path() + ": index opened read-only");
  if (lock_depth_ > 0) {
    ++lock_depth_;
    return Status::OK();
  }
  Status s = file_->Lock(kLockOffset, 1, true);
  if (!s.ok()) return s.IsBusy() ? Status::Busy(path() + ": index locked by another user") : s;
  lock_depth_ = 1;
  changed_ = false;
  uint32_t f = 0, v = 0;
  s = ReadCounter(&f, &v);
  uint64_t size = 0;
  if (s.ok()) s = file_->Size(&size);
  if (s.ok() && (f != free_head_ || v != version_ || RoundUp(size) != file_end_)) s = LoadTags();
  if (!s.ok()) {
    lock_depth_ = 0;
    (void)file_->Unlock(kLockOffset, 1);
  }
  return s;
}

Status FileImpl::UnlockWrite() {
  if (lock_depth_ == 0) return Status::InvalidArgument(path() + ": index is not locked");
  if (lock_depth_ > 1) {
    --lock_depth_;
    return Status::OK();
  }
  Status s = FlushDirty();
  if (s.ok() && changed_) {
    ++version_;
    uint8_t b[8];
    PutLE32(b, free_head_);
    PutBE32(b + 4, version_);
    s = file_->WriteAt(kHdrFree, b, 8);
    PutLE32(dir_->header().data() + kHdrFree, free_head_);
    PutBE32(dir_->header().data() + kHdrVersion, version_);
  }
  changed_ = false;
  if (!s.ok()) DropCache();  // what is on disk is unknown: re-read it next time
  lock_depth_ = 0;
  Status u = file_->Unlock(kLockOffset, 1);
  return s.ok() ? u : s;
}

Status FileImpl::Refresh() {
  if (lock_depth_ > 0) return Status::OK();
  uint32_t f, v;
  XB_RETURN_IF_ERROR(ReadCounter(&f, &v));
  if (f == free_head_ && v == version_) return Status::OK();
  return Load();
}

Status FileImpl::Flush() {
  if (lock_depth_ == 0) return Status::OK();
  return FlushDirty();
}

Status FileImpl::Sync() {
  XB_RETURN_IF_ERROR(Flush());
  return file_->Sync();
}

Result<CdxTag*> FileImpl::AddTag(const TagSpec& in) {
  TagSpec spec = in;
  spec.name = Upper(spec.name);
  if (spec.name.empty() || spec.name.size() > kMaxTagName) {
    return Status::InvalidArgument(path() + ": tag name '" + spec.name + "' must have 1 to 10 characters");
  }
  for (char c : spec.name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
      return Status::InvalidArgument(path() + ": bad tag name '" + spec.name + "'");
    }
  }
  if (spec.key_len < 1 || spec.key_len > kMaxKeyLen) {
    return Status::InvalidArgument(path() + ": tag " + spec.name + ": key length " +
                                   std::to_string(spec.key_len) + " is not 1 to 240");
  }
  if (spec.key_expr.size() + spec.for_expr.size() + 2 > static_cast<size_t>(kExprPool)) {
    return Status::InvalidArgument(path() + ": tag " + spec.name + ": expressions too long");
  }
  TagImpl* added = nullptr;
  Status s = Write([&]() -> Status {
    for (auto& t : tags_) {
      if (t->spec().name == spec.name) {
        XB_RETURN_IF_ERROR(DoDeleteTag(t.get()));
        break;
      }
    }
    auto hoff = AllocHeader();
    if (!hoff.ok()) return hoff.status();
    uint8_t h[kHeaderSize];
    TagHeader(spec, h);
    auto t = std::make_unique<TagImpl>(this, *hoff, h);
    t->mutable_spec().name = spec.name;
    t->SetKeyType(spec.key_type);
    t->mark_header_dirty();
    XB_RETURN_IF_ERROR(t->InitEmpty());
    std::string dkey = spec.name;
    dkey.resize(static_cast<size_t>(dir_->klen()), dir_->pad());
    XB_RETURN_IF_ERROR(dir_->DoInsert(dkey, *hoff));
    added = t.get();
    tags_.push_back(std::move(t));
    ++gen_;
    return Status::OK();
  });
  if (!s.ok()) return s;
  return static_cast<CdxTag*>(added);
}

Status FileImpl::DoDeleteTag(TagImpl* t) {
  std::string dkey = t->spec().name;
  dkey.resize(static_cast<size_t>(dir_->klen()), dir_->pad());
  XB_RETURN_IF_ERROR(dir_->DoRemove(dkey, t->header_off()));
  std::vector<uint32_t> pages;
  Status s = t->CollectPages(&pages);
  if (s.ok()) {
    for (uint32_t p : pages) FreePage(p);
  }
  // A broken tree cannot be walked: leave its pages unused rather than
  // freeing pages that might belong to another tag.
  FreePage(t->header_off());
  FreePage(t->header_off() + kPageSize);
  t->set_dropped();
  for (auto it = tags_.begin(); it != tags_.end(); ++it) {
    if (it->get() == t) {
      dropped_.push_back(std::move(*it));
      tags_.erase(it);
      break;
    }
  }
  ++gen_;
  return Status::OK();
}

Status FileImpl::DeleteTag(const std::string& name) {
  std::string u = Upper(name);
  return Write([&]() -> Status {
    for (auto& t : tags_) {
      if (t->spec().name == u) return DoDeleteTag(t.get());
    }
    return Status::NotFound(path() + ": no tag " + u);
  });
}

}  // namespace cdx

Result<std::unique_ptr<CdxFile>> CdxFile::Open(Env* env, const std::string& path, OpenMode mode) {
  auto f = env->Open(path, mode);
  if (!f.ok()) return f.status();
  auto impl = std::make_unique<cdx::FileImpl>(env, std::move(f.value()), mode == OpenMode::kReadOnly);
  XB_RETURN_IF_ERROR(impl->Load());
  return std::unique_ptr<CdxFile>(std::move(impl));
}

Result<std::unique_ptr<CdxFile>> CdxFile::Create(Env* env, const std::string& path, bool truncate) {
  using namespace cdx;
  auto f = env->Create(path, truncate);
  if (!f.ok()) return f.status();
  File* file = f.value().get();
  XB_RETURN_IF_ERROR(file->Lock(kLockOffset, 1, true));
  uint8_t buf[kHeaderSize + kPageSize];
  DirectoryHeader(buf, kHeaderSize);
  Node root;
  root.attr = kAttrRoot | kAttrLeaf;
  root.klen = kMaxTagName;
  EncodeNode(root, ' ', buf + kHeaderSize);
  Status s = file->Truncate(0);
  if (s.ok()) s = file->WriteAt(0, buf, sizeof buf);
  (void)file->Unlock(kLockOffset, 1);
  XB_RETURN_IF_ERROR(s);
  auto impl = std::make_unique<FileImpl>(env, std::move(f.value()), false);
  XB_RETURN_IF_ERROR(impl->Load());
  return std::unique_ptr<CdxFile>(std::move(impl));
}

}  // namespace xb
