// Atomic index changes. A change that spans several pages (a split, a merge,
// a new tag) must not be seen half-done by the next user when the writing
// process is killed in the middle. Before it writes a single page, the writer
// saves the bytes it is about to overwrite in a small rollback journal beside
// the index (`<index>-journal`), then marks the index as being changed by
// setting the change counter (file header offset 8) to an odd value, writes
// the pages, and sets the counter to the next even value. An odd counter that
// nobody is writing under (the index lock is free) therefore means a writer
// died: the next writer, opener or reader puts the saved bytes back. Other
// engines only see a counter that changed, as after any write.
#include <algorithm>

#include "xbase/cdx_impl.h"

namespace xb::cdx {
namespace {

constexpr char kMagic[8] = {'Q', 'Z', 'C', 'D', 'X', 'J', '1', '\0'};
constexpr size_t kJournalHeader = 24;  // magic, counter, entries, body length, checksum

uint32_t Checksum(const uint8_t* p, size_t n) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

bool TouchesCounter(uint32_t off, size_t len) {
  return off < kHdrVersion + 4 && off + len > kHdrFree;
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
  return Status::OK();
}

Status FileImpl::WriteJournal(const std::vector<PageWrite>& writes, uint32_t marker) {
  std::string body;
  uint32_t entries = 0;
  auto save = [&](uint32_t off, size_t len) -> Status {
    if (off + len > disk_end_) return Status::OK();  // a new page: nothing to put back
    std::string old(len, '\0');
    XB_RETURN_IF_ERROR(file_->ReadExact(off, old.data(), len));
    uint8_t h[8];
    PutLE32(h, off);
    PutLE32(h + 4, static_cast<uint32_t>(len));
    body.append(reinterpret_cast<char*>(h), 8);
    body += old;
    ++entries;
    return Status::OK();
  };
  for (const auto& w : writes) XB_RETURN_IF_ERROR(save(w.off, w.bytes.size()));
  // The free head and counter as they were: put back last, ending the repair.
  XB_RETURN_IF_ERROR(save(kHdrFree, 8));
  std::string blob(kJournalHeader, '\0');
  auto* h = reinterpret_cast<uint8_t*>(blob.data());
  std::memcpy(h, kMagic, 8);
  PutLE32(h + 8, marker);
  PutLE32(h + 12, entries);
  PutLE32(h + 16, static_cast<uint32_t>(body.size()));
  PutLE32(h + 20, Checksum(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
  blob += body;
  XB_RETURN_IF_ERROR(OpenJournal(true));
  return journal_->WriteAt(0, blob.data(), blob.size());
}

Status FileImpl::RollBack(uint32_t counter) {
  if (counter % 2 == 0 || read_only_) return Status::OK();
  if (!journal_ && !env_->Exists(JournalPath())) return Status::OK();
  XB_RETURN_IF_ERROR(OpenJournal(false));
  uint8_t h[kJournalHeader];
  size_t got = 0;
  XB_RETURN_IF_ERROR(journal_->ReadAt(0, h, sizeof h, &got));
  // Not ours, or a journal the writer never finished (the pages were then
  // not touched yet): nothing to undo.
  if (got < sizeof h || std::memcmp(h, kMagic, 8) != 0 || GetLE32(h + 8) != counter)
    return Status::OK();
  uint32_t len = GetLE32(h + 16);
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(journal_->Size(&size));
  if (kJournalHeader + static_cast<uint64_t>(len) > size) return Status::OK();
  std::string body(len, '\0');
  XB_RETURN_IF_ERROR(journal_->ReadExact(kJournalHeader, body.data(), len));
  const auto* b = reinterpret_cast<const uint8_t*>(body.data());
  if (Checksum(b, len) != GetLE32(h + 20)) return Status::OK();
  struct Image {
    uint32_t off;
    const uint8_t* bytes;
    uint32_t len;
  };
  std::vector<Image> images;
  for (size_t pos = 0, i = 0; i < GetLE32(h + 12); ++i) {
    if (pos + 8 > len) return Status::Corrupt(JournalPath() + ": entry " + std::to_string(i) + " cut short");
    uint32_t off = GetLE32(b + pos), n = GetLE32(b + pos + 4);
    if (pos + 8 + n > len) return Status::Corrupt(JournalPath() + ": entry " + std::to_string(i) + " cut short");
    images.push_back({off, b + pos + 8, n});
    pos += 8 + n;
  }
  // Pages first; whatever holds the counter last, so that a repair killed
  // half-way is simply done again.
  std::stable_partition(images.begin(), images.end(),
                        [](const Image& m) { return !TouchesCounter(m.off, m.len); });
  for (const auto& m : images) XB_RETURN_IF_ERROR(file_->WriteAt(m.off, m.bytes, m.len));
  std::memset(h, 0, 8);
  return journal_->WriteAt(0, h, 8);
}

Status FileImpl::RecoverIfInterrupted() {
  if (read_only_ || lock_depth_ > 0 || shared_depth_ > 0) return Status::OK();
  uint32_t f, v;
  XB_RETURN_IF_ERROR(ReadCounter(&f, &v));
  if (v % 2 == 0 || v == checked_odd_) return Status::OK();
  // A live writer holds the lock while the counter is odd; only when the
  // lock is free did the writer die.
  if (!file_->Lock(kLockOffset, 1, true).ok()) return Status::OK();
  Status s = ReadCounter(&f, &v);
  if (s.ok()) s = RollBack(v);
  if (s.ok()) s = ReadCounter(&f, &v);
  if (s.ok() && v % 2 != 0) checked_odd_ = v;  // another engine's odd counter
  (void)file_->Unlock(kLockOffset, 1);
  return s;
}

void FileImpl::DropJournal() {
  if (read_only_ || lock_depth_ > 0) return;
  uint32_t f, v;
  if (!ReadCounter(&f, &v).ok() || v % 2 != 0) return;  // a change to undo still needs it
  journal_.reset();
  if (env_->Exists(JournalPath())) (void)env_->Remove(JournalPath());
}

Status FileImpl::Commit() {
  const bool headers_dirty = dir_->header_dirty() ||
                             std::any_of(tags_.begin(), tags_.end(),
                                         [](const auto& t) { return t->header_dirty(); });
  if (dirty_.empty() && freed_.empty() && !headers_dirty && !changed_) return Status::OK();
  const uint32_t marker = version_ % 2 == 0 ? version_ + 1 : version_ + 2;
  const uint32_t final_version = marker + 1;
  std::vector<PageWrite> writes;
  XB_RETURN_IF_ERROR(CollectWrites(&writes, marker));
  uint8_t counter[8];
  if (!writes.empty()) {
    XB_RETURN_IF_ERROR(WriteJournal(writes, marker));
    PutLE32(counter, disk_free_);
    PutBE32(counter + 4, marker);
    XB_RETURN_IF_ERROR(file_->WriteAt(kHdrFree, counter, 8));
    for (const auto& w : writes) XB_RETURN_IF_ERROR(file_->WriteAt(w.off, w.bytes.data(), w.bytes.size()));
  }
  PutLE32(counter, free_head_);
  PutBE32(counter + 4, final_version);
  XB_RETURN_IF_ERROR(file_->WriteAt(kHdrFree, counter, 8));
  version_ = final_version;
  disk_free_ = free_head_;
  disk_version_ = version_;
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(file_->Size(&size));
  disk_end_ = size;
  PutLE32(dir_->header().data() + kHdrFree, free_head_);
  PutBE32(dir_->header().data() + kHdrVersion, version_);
  changed_ = false;
  return Status::OK();
}

}  // namespace xb::cdx
