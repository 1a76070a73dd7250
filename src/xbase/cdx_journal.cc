// Atomic index changes. A change that spans several pages (a split, a merge,
// a new tag), and the table record it belongs to, must not be seen half-done
// by the next user when the writing process is killed in the middle. Before
// it writes a single byte, the writer saves the bytes it is about to
// overwrite, in the index and in the table, in a small rollback journal
// beside the index (`<index>-journal`), then marks the index as being changed
// by setting the change counter (file header offset 8) to an odd value,
// writes the record and the pages, and sets the counter to the next even
// value (or back to where it was when no page changed). An odd counter that
// nobody is writing under (the index lock is free) therefore means a writer
// died: the next writer, opener or reader puts the saved bytes back. Other
// engines only see a counter that changed, as after any write.
#include <algorithm>

#include "xbase/cdx_impl.h"

namespace xb::cdx {
namespace {

// J1 journals hold index pages only; J2 adds the table's bytes; J3 has J2's
// layout with a checksum computed in four lanes.
constexpr char kMagicV1[8] = {'Q', 'Z', 'C', 'D', 'X', 'J', '1', '\0'};
constexpr char kMagicV2[8] = {'Q', 'Z', 'C', 'D', 'X', 'J', '2', '\0'};
constexpr char kMagic[8] = {'Q', 'Z', 'C', 'D', 'X', 'J', '3', '\0'};
constexpr size_t kJournalHeader = 24;  // magic, counter, entries, body length, checksum
constexpr uint64_t kJournalRoom = 64 * 1024;
constexpr uint64_t kFnvPrime = 1099511628211ull;
constexpr uint64_t kFnvBasis = 14695981039346656037ull;

// J1: FNV-1a over bytes.
uint32_t ChecksumV1(const uint8_t* p, size_t n) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

uint64_t Word(const uint8_t* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;  // little-endian on every machine we run on, as the files are
}

// J2: 64-bit FNV-1a over little-endian 8-byte words, then the last bytes one
// by one, folded to 32 bits.
uint32_t ChecksumV2(const uint8_t* p, size_t n) {
  uint64_t h = kFnvBasis;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) h = (h ^ Word(p + i)) * kFnvPrime;
  for (; i < n; ++i) h = (h ^ p[i]) * kFnvPrime;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

// J3: J2's sum in four independent lanes (word k of each 32-byte block goes
// to lane k; the words after the last whole block, then the last bytes, to
// lane 0), lanes 1 to 3 then folded into lane 0 as three more words. Each
// step of one sum waits for the multiply before it; four lanes keep four
// multiplies in flight, so the check of every commit's page images costs a
// quarter of the time, with the same power to notice a torn write.
uint32_t Checksum(const uint8_t* p, size_t n) {
  uint64_t h0 = kFnvBasis, h1 = kFnvBasis, h2 = kFnvBasis, h3 = kFnvBasis;
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    h0 = (h0 ^ Word(p + i)) * kFnvPrime;
    h1 = (h1 ^ Word(p + i + 8)) * kFnvPrime;
    h2 = (h2 ^ Word(p + i + 16)) * kFnvPrime;
    h3 = (h3 ^ Word(p + i + 24)) * kFnvPrime;
  }
  for (; i + 8 <= n; i += 8) h0 = (h0 ^ Word(p + i)) * kFnvPrime;
  for (; i < n; ++i) h0 = (h0 ^ p[i]) * kFnvPrime;
  h0 = (h0 ^ h1) * kFnvPrime;
  h0 = (h0 ^ h2) * kFnvPrime;
  h0 = (h0 ^ h3) * kFnvPrime;
  return static_cast<uint32_t>(h0 ^ (h0 >> 32));
}

bool TouchesCounter(uint64_t off, size_t len) {
  return off < kHdrVersion + 4 && off + len > kHdrFree;
}

// A table name from a journal is used only as a plain file name beside the
// index: nothing that could point elsewhere.
bool PlainName(const std::string& n) {
  return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos &&
         n.find('\\') == std::string::npos && n.find('\0') == std::string::npos;
}

struct Image {
  uint64_t off;
  const uint8_t* bytes;
  uint32_t len;
};

// The parsed body of a journal: index images, then the table's.
struct Parsed {
  std::vector<Image> index, table;
  std::string table_name;
};

Status Parse(const std::string& path, const uint8_t* b, size_t len, uint32_t entries, bool v2,
             Parsed* out) {
  auto cut = [&](const std::string& what) { return Status::Corrupt(path + ": " + what + " cut short"); };
  size_t pos = 0;
  for (uint32_t i = 0; i < entries; ++i) {
    if (pos + 8 > len) return cut("entry " + std::to_string(i));
    uint32_t off = GetLE32(b + pos), n = GetLE32(b + pos + 4);
    if (n > len - pos - 8) return cut("entry " + std::to_string(i));
    out->index.push_back({off, b + pos + 8, n});
    pos += 8 + n;
  }
  if (!v2) return Status::OK();
  if (pos + 8 > len) return cut("table section");
  uint32_t name_len = GetLE32(b + pos), count = GetLE32(b + pos + 4);
  pos += 8;
  if (name_len > len - pos) return cut("table name");
  out->table_name.assign(reinterpret_cast<const char*>(b + pos), name_len);
  pos += name_len;
  for (uint32_t i = 0; i < count; ++i) {
    if (pos + 12 > len) return cut("table entry " + std::to_string(i));
    uint64_t off = GetLE32(b + pos) | (static_cast<uint64_t>(GetLE32(b + pos + 4)) << 32);
    uint32_t n = GetLE32(b + pos + 8);
    if (n > len - pos - 12) return cut("table entry " + std::to_string(i));
    out->table.push_back({off, b + pos + 12, n});
    pos += 12 + n;
  }
  if (!out->table.empty() && !PlainName(out->table_name))
    return Status::Corrupt(path + ": table name \"" + out->table_name + "\" is not a file name");
  return Status::OK();
}

}  // namespace

std::string FileImpl::JournalPath() const { return path() + "-journal"; }

Status FileImpl::OpenJournal(bool create) {
  if (journal_) return Status::OK();
  auto j = env_->Open(JournalPath(), OpenMode::kReadWrite);
  if (!j.ok() && create) {
    j = env_->Create(JournalPath(), false);
    if (!j.ok()) j = env_->Open(JournalPath(), OpenMode::kReadWrite);  // another user made it
  }
  if (!j.ok()) return j.status();
  journal_ = std::move(*j);
  if (create) {
    // Room for the usual change, so that it is written through the memory
    // mapping rather than by a system call per commit (a first read maps
    // the file). Only under the index lock: nobody else writes it meanwhile.
    uint64_t size = 0;
    XB_RETURN_IF_ERROR(journal_->Size(&size));
    if (size < kJournalRoom) XB_RETURN_IF_ERROR(journal_->Truncate(kJournalRoom));
    uint8_t b;
    size_t got = 0;
    XB_RETURN_IF_ERROR(journal_->ReadAt(0, &b, 1, &got));
  }
  return Status::OK();
}

void FileImpl::AddTableWrite(uint64_t offset, std::string_view bytes, size_t saved) {
  // Entries keep their room from commit to commit: a record change copies
  // its bytes without allocating.
  if (table_write_count_ == table_writes_.size()) table_writes_.emplace_back();
  TableWrite& w = table_writes_[table_write_count_++];
  w.off = offset;
  w.bytes.assign(bytes.data(), bytes.size());
  w.saved = saved;
}

Status FileImpl::WriteJournal(const std::vector<PageWrite>& writes, uint32_t marker) {
  // Built in one buffer kept from commit to commit (it only grows, so
  // building it writes each byte once): header, then body.
  const auto inside = [&](uint64_t off, size_t len) { return off + len <= disk_end_; };
  size_t room = kJournalHeader + 8 + 8 + 8 + table_name_.size();
  for (const auto& w : writes) room += inside(w.off, w.len) ? 8 + w.len : 0;
  for (size_t i = 0; i < table_write_count_; ++i) {
    const TableWrite& w = table_writes_[i];
    room += 12 + std::min(w.bytes.size(), w.saved);
  }
  if (journal_buf_.size() < room) journal_buf_.resize(room);
  auto* const h = reinterpret_cast<uint8_t*>(journal_buf_.data());
  uint8_t* at = h + kJournalHeader;
  uint32_t entries = 0;
  // Pages new to the file (past its end) have nothing to put back.
  auto save = [&](uint32_t off, uint32_t len) -> Status {
    if (!inside(off, len)) return Status::OK();
    PutLE32(at, off);
    PutLE32(at + 4, len);
    XB_RETURN_IF_ERROR(file_->ReadExact(off, at + 8, len));
    at += 8 + len;
    ++entries;
    return Status::OK();
  };
  for (const auto& w : writes) XB_RETURN_IF_ERROR(save(w.off, w.len));
  // The free head and counter as they were: put back last, ending the repair.
  XB_RETURN_IF_ERROR(save(kHdrFree, 8));
  // The table's bytes as they are; what lies past its end (an appended
  // record) has nothing to put back but the part that existed.
  PutLE32(at, static_cast<uint32_t>(table_name_.size()));
  uint8_t* const count_at = at + 4;
  at += 8;
  std::memcpy(at, table_name_.data(), table_name_.size());
  at += table_name_.size();
  uint32_t table_entries = 0;
  for (size_t i = 0; i < table_write_count_; ++i) {
    const TableWrite& w = table_writes_[i];
    const size_t want = std::min(w.bytes.size(), w.saved);
    size_t got = 0;
    XB_RETURN_IF_ERROR(table_->ReadAt(w.off, at + 12, want, &got));
    if (got == 0) continue;
    PutLE32(at, static_cast<uint32_t>(w.off));
    PutLE32(at + 4, static_cast<uint32_t>(w.off >> 32));
    PutLE32(at + 8, static_cast<uint32_t>(got));
    at += 12 + got;
    ++table_entries;
  }
  PutLE32(count_at, table_entries);
  const size_t body = static_cast<size_t>(at - h) - kJournalHeader;
  std::memcpy(h, kMagic, 8);
  PutLE32(h + 8, marker);
  PutLE32(h + 12, entries);
  PutLE32(h + 16, static_cast<uint32_t>(body));
  PutLE32(h + 20, Checksum(h + kJournalHeader, body));
  XB_RETURN_IF_ERROR(OpenJournal(true));
  return journal_->WriteAt(0, h, kJournalHeader + body);
}

Status FileImpl::RollBack(File* index, uint32_t counter, bool dry_run, bool* found) {
  if (found) *found = false;
  if (counter % 2 == 0) return Status::OK();
  if (!journal_ && !env_->Exists(JournalPath())) return Status::OK();
  std::unique_ptr<File> own;  // a handle for one look (a read-only user's)
  File* j = journal_.get();
  if (!j) {
    if (dry_run || read_only_) {
      auto r = env_->Open(JournalPath(), dry_run ? OpenMode::kReadOnly : OpenMode::kReadWrite);
      if (!r.ok()) return r.status();
      own = std::move(*r);
      j = own.get();
    } else {
      XB_RETURN_IF_ERROR(OpenJournal(false));
      j = journal_.get();
    }
  }
  uint8_t h[kJournalHeader];
  size_t got = 0;
  XB_RETURN_IF_ERROR(j->ReadAt(0, h, sizeof h, &got));
  // Which version wrote it (0: not a journal of ours).
  int version = 0;
  if (got == sizeof h) {
    if (std::memcmp(h, kMagic, 8) == 0) version = 3;
    else if (std::memcmp(h, kMagicV2, 8) == 0) version = 2;
    else if (std::memcmp(h, kMagicV1, 8) == 0) version = 1;
  }
  const bool v2 = version >= 2;  // table bytes too
  // Not ours, or a journal the writer never finished (the pages were then
  // not touched yet): nothing to undo.
  if (version == 0 || GetLE32(h + 8) != counter) return Status::OK();
  uint32_t len = GetLE32(h + 16);
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(j->Size(&size));
  if (kJournalHeader + static_cast<uint64_t>(len) > size) return Status::OK();
  std::string body(len, '\0');
  XB_RETURN_IF_ERROR(j->ReadExact(kJournalHeader, body.data(), len));
  const auto* b = reinterpret_cast<const uint8_t*>(body.data());
  const uint32_t sum = version == 3 ? Checksum(b, len) : version == 2 ? ChecksumV2(b, len)
                                                                     : ChecksumV1(b, len);
  if (sum != GetLE32(h + 20)) return Status::OK();
  Parsed p;
  XB_RETURN_IF_ERROR(Parse(JournalPath(), b, len, GetLE32(h + 12), v2, &p));
  if (found) *found = true;
  if (dry_run) return Status::OK();
  // The record first, the pages next, whatever holds the counter last: a
  // repair killed half-way is simply done again.
  if (!p.table.empty()) {
    std::string tpath = JoinPath(DirName(path()), p.table_name);
    auto t = env_->Open(tpath, OpenMode::kReadWrite);
    if (!t.ok() && !t.status().IsNotFound())
      return t.status().With(JournalPath() + ": undoing an interrupted change of " + tpath);
    if (t.ok()) {
      for (const auto& m : p.table) XB_RETURN_IF_ERROR((*t)->WriteAt(m.off, m.bytes, m.len));
    }
  }
  std::stable_partition(p.index.begin(), p.index.end(),
                        [](const Image& m) { return !TouchesCounter(m.off, m.len); });
  for (const auto& m : p.index) XB_RETURN_IF_ERROR(index->WriteAt(m.off, m.bytes, m.len));
  std::memset(h, 0, 8);
  return j->WriteAt(0, h, 8);
}

Status FileImpl::RecoverIfInterrupted() {
  if (lock_depth_ > 0 || shared_depth_ > 0) return Status::OK();
  uint32_t f, v;
  XB_RETURN_IF_ERROR(ReadCounter(&f, &v));
  if (v % 2 == 0 || v == checked_odd_) return Status::OK();
  if (read_only_) return RecoverReadOnly();
  // A live writer holds the lock while the counter is odd; only when the
  // lock is free did the writer die.
  if (!lock_.Lock(true).ok()) return Status::OK();
  Status s = ReadCounter(&f, &v);
  if (s.ok()) s = RollBack(file_.get(), v);
  if (s.ok()) s = ReadCounter(&f, &v);
  if (s.ok() && v % 2 != 0) checked_odd_ = v;  // another engine's odd counter
  (void)lock_.Unlock();
  return s;
}

Status FileImpl::RecoverReadOnly() {
  // Opened for reading only, but the user may still be allowed to write the
  // files: then it puts the change back like any writer, through a handle
  // of its own.
  auto rw = env_->Open(path(), OpenMode::kReadWrite);
  if (rw.ok()) {
    File* f = rw->get();
    if (!f->Lock(kLockOffset, 1, true).ok()) return Status::OK();  // the writer lives
    uint8_t b[8];
    Status s = f->ReadExact(kHdrFree, b, 8);
    uint32_t v = GetBE32(b + 4);
    bool found = false;
    if (s.ok()) s = RollBack(f, v, false, &found);
    if (s.ok() && !found && v % 2 != 0) checked_odd_ = v;
    (void)f->Unlock(kLockOffset, 1);
    return s;
  }
  // Nothing can be written here: what is on disk is half a change, and
  // reading it would give wrong answers. The shared lock tells a dead writer
  // (free) from a live one (held).
  if (!lock_.Lock(false).ok()) return Status::OK();
  uint32_t f, v;
  bool found = false;
  Status s = ReadCounter(&f, &v);
  if (s.ok()) s = RollBack(file_.get(), v, true, &found);
  (void)lock_.Unlock();
  XB_RETURN_IF_ERROR(s);
  if (!found) {
    if (v % 2 != 0) checked_odd_ = v;
    return Status::OK();
  }
  return Status::ReadOnly(path() +
                          ": a change left unfinished by a process that stopped must be undone "
                          "first; open the table read-write (as a user who may write it)");
}

void FileImpl::DropJournal() {
  if (read_only_ || lock_depth_ > 0) return;
  uint32_t f, v;
  if (!ReadCounter(&f, &v).ok() || v % 2 != 0) return;  // a change to undo still needs it
  journal_.reset();
  if (env_->Exists(JournalPath())) (void)env_->Remove(JournalPath());
}

Status FileImpl::Commit() {
  struct Forget {  // the table's bytes belong to this commit only, done or not
    size_t* count;
    ~Forget() { *count = 0; }
  } forget{&table_write_count_};
  const bool table_changed = table_write_count_ > 0;
  const bool headers_dirty = dir_->header_dirty() ||
                             std::any_of(tags_.begin(), tags_.end(),
                                         [](const auto& t) { return t->header_dirty(); });
  const bool index_changed = !dirty_.empty() || !freed_.empty() || headers_dirty || changed_;
  if (!index_changed && !table_changed) return Status::OK();
  if (table_changed && !table_)
    return Status::InvalidArgument(path() + ": no table bound to the index");
  const uint32_t marker = version_ % 2 == 0 ? version_ + 1 : version_ + 2;
  // A record written alone leaves the counter where it was: other users'
  // cached pages stay good.
  const uint32_t final_version = index_changed ? marker + 1 : version_;
  // The journal reads what the changed pages hold on disk right after they
  // are encoded. In a large index those bytes are mostly out of the
  // processor's caches (the decoded pages are what the changes used): asked
  // for now, their reads overlap the encoding instead of following it. A
  // small index stays in the caches: nothing to hide.
  if (disk_end_ >= (8u << 20)) {
    for (const NodeRef& n : dirty_) {
      if (n->dirty && n->off + kPageSize <= disk_end_) file_->Prefetch(n->off, kPageSize);
    }
  }
  std::vector<PageWrite>& writes = commit_writes_;
  writes.clear();
  XB_RETURN_IF_ERROR(CollectWrites(&writes, marker));
  uint8_t counter[8];
  if (!writes.empty() || table_changed) {
    XB_RETURN_IF_ERROR(WriteJournal(writes, marker));
    PutLE32(counter, disk_free_);
    PutBE32(counter + 4, marker);
    XB_RETURN_IF_ERROR(file_->WriteAt(kHdrFree, counter, 8));
    for (size_t i = 0; i < table_write_count_; ++i) {
      const TableWrite& w = table_writes_[i];
      XB_RETURN_IF_ERROR(table_->WriteAt(w.off, w.bytes.data(), w.bytes.size()));
    }
    for (const auto& w : writes) {
      XB_RETURN_IF_ERROR(file_->WriteAt(w.off, w.data, w.len));
      disk_end_ = std::max<uint64_t>(disk_end_, w.off + w.len);
    }
  }
  PutLE32(counter, free_head_);
  PutBE32(counter + 4, final_version);
  XB_RETURN_IF_ERROR(file_->WriteAt(kHdrFree, counter, 8));
  version_ = final_version;
  disk_free_ = free_head_;
  disk_version_ = version_;
  PutLE32(dir_->header().data() + kHdrFree, free_head_);
  PutBE32(dir_->header().data() + kHdrVersion, version_);
  changed_ = false;
  return Status::OK();
}

}  // namespace xb::cdx
