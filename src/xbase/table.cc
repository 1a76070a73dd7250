#include "xbase/table.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include "xbase/dbf_header.h"
#include "xbase/field_codec.h"
#include "xbase/file_swap.h"
#include "xbase/fpt.h"
#include "xbase/kept_record_locks.h"
#include "xbase/lingering_lock.h"
#include "xbase/table_index.h"
#include "xbase/table_locks.h"

namespace xb {
namespace {

std::atomic<bool> g_deleted_hidden{true};

std::string UpperName(const std::string& path) {
  std::string b = BaseName(path);
  auto dot = b.find_last_of('.');
  if (dot != std::string::npos) b = b.substr(0, dot);
  for (char& c : b) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return b;
}

std::string UpperBase(const std::string& path) {
  std::string dir = DirName(path);
  std::string b = BaseName(path);
  for (char& c : b) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return JoinPath(dir, b);
}

void Today(int* y, int* m, int* d) {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  *y = tm.tm_year + 1900;
  *m = tm.tm_mon + 1;
  *d = tm.tm_mday;
}

}  // namespace

void SetDeletedHidden(bool hidden) { g_deleted_hidden = hidden; }
bool DeletedHidden() { return g_deleted_hidden; }

Table::~Table() { Close(); }

Result<std::unique_ptr<Table>> Table::Open(const std::string& path, const OpenOptions& opt) {
  Env* env = opt.env ? opt.env : Env::Default();
  auto resolved = env->Resolve(path);
  if (!resolved.ok()) {
    // "EMPLE" may be given without its extension.
    if (BaseName(path).find('.') == std::string::npos) resolved = env->Resolve(path + ".DBF");
    if (!resolved.ok()) return Status::NotFound(path + ": table not found");
  }
  // A pack or reindex killed half-way is finished (or undone) first.
  XB_RETURN_IF_ERROR(RecoverSwap(env, *resolved));
  auto f = env->Open(*resolved, opt.read_only ? OpenMode::kReadOnly : OpenMode::kReadWrite);
  if (!f.ok()) return f.status();
  std::unique_ptr<Table> t(new Table());
  t->env_ = env;
  Status s = t->Init(std::move(*f), *resolved, opt);
  if (!s.ok()) {
    t->UnbindLocks();
    t->file_.reset();  // nothing to write back: the table never opened
    return s;
  }
  return t;
}

Status Table::Init(std::unique_ptr<File> f, const std::string& path, const OpenOptions& opt) {
  path_ = path;
  name_ = UpperName(path);
  read_only_ = opt.read_only;
  exclusive_ = opt.exclusive;
  file_ = std::move(f);
  BindHeaderLock();
  // Share-mode emulation: every user holds a shared lock on one byte, an
  // exclusive user an exclusive one, so they exclude each other.
  Status ls = file_->Lock(kShareLockOffset, 1, exclusive_ && !read_only_);
  if (ls.IsBusy())
    return Status::Busy(path + (exclusive_ ? ": table is in use by another user"
                                           : ": table is open exclusively by another user"));
  XB_RETURN_IF_ERROR(ls);

  // The header before the size: another user may append in between, and the
  // file only grows, so this order never sees a count the file cannot hold.
  uint8_t prefix[32];
  size_t got = 0;
  XB_RETURN_IF_ERROR(file_->ReadAt(0, prefix, 32, &got));
  if (IsMarkedReplaced(prefix, got))
    return Status::Busy(path + ": table was rebuilt by another user meanwhile; open it again");
  if (got < 32) return Status::Corrupt(path + ": file too short for a DBF header");
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(file_->Size(&size));
  DbfHeader h;
  XB_RETURN_IF_ERROR(ParseHeaderPrefix(prefix, size, path, &h));
  known_size_ = size;
  std::string desc(h.header_len - 32, '\0');
  XB_RETURN_IF_ERROR(file_->ReadExact(32, desc.data(), desc.size()));
  XB_RETURN_IF_ERROR(ParseFieldDescriptors(reinterpret_cast<const uint8_t*>(desc.data()),
                                           desc.size(), path, &h));
  version_ = h.version;
  header_flags_ = h.flags;
  header_len_ = h.header_len;
  record_len_ = h.record_len;
  count_ = h.record_count;
  fields_ = std::move(h.fields);
  codepage_ = CodePageFromLanguageDriver(h.language_driver);
  rec_.assign(record_len_, ' ');
  for (const auto& fd : fields_) BlankField(fd, rec_.data());
  orig_ = rec_;

  bool has_memo = false;
  for (const auto& fd : fields_) has_memo |= IsMemoType(fd.type);
  if (has_memo) {
    auto mp = env_->Resolve(ReplaceExtension(path, ".FPT"));
    if (!mp.ok()) return Status::NotFound(path + ": memo file (.FPT) not found");
    auto m = MemoFile::Open(env_, *mp, read_only_ ? OpenMode::kReadOnly : OpenMode::kReadWrite);
    if (!m.ok()) return m.status();
    memo_ = std::move(*m);
  }
  if (opt.open_index) XB_RETURN_IF_ERROR(OpenIndex(opt.require_index));
  if (index_) {
    // Opening the index undid whatever change a killed writer left half-done,
    // an append included: the record count may have gone back.
    uint8_t b[4];
    XB_RETURN_IF_ERROR(file_->ReadExact(4, b, 4));
    count_ = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  }
  return GoTop();
}

Status Table::OpenIndex(bool required) {
  auto ip = env_->Resolve(ReplaceExtension(path_, ".CDX"));
  if (!ip.ok()) {
    if ((header_flags_ & kHeaderFlagStructuralIndex) && required)
      return Status::NotFound(path_ + ": structural index (.CDX) not found");
    return Status::OK();
  }
  auto ix = IndexSet::Open(this, *ip, read_only_ ? OpenMode::kReadOnly : OpenMode::kReadWrite);
  if (!ix.ok()) return ix.status();
  index_ = std::move(*ix);
  return Status::OK();
}

Result<std::unique_ptr<Table>> Table::Create(const std::string& path_in, FieldList fields,
                                             const CreateOptions& opt) {
  Env* env = opt.env ? opt.env : Env::Default();
  std::string path = path_in;
  if (BaseName(path).find('.') == std::string::npos) path += ".DBF";
  path = UpperBase(path);
  auto len = LayoutFields(&fields, path);
  if (!len.ok()) return len.status();

  // An existing table under any spelling of the name is the same table.
  for (const char* ext : {".DBF", ".FPT", ".CDX"}) {
    auto existing = env->Resolve(ReplaceExtension(path, ext));
    if (existing.ok()) {
      if (!opt.overwrite && std::string(ext) == ".DBF")
        return Status::Exists(path + ": table already exists");
      if (opt.overwrite) XB_RETURN_IF_ERROR(env->Remove(*existing));
    }
  }

  DbfHeader h;
  h.fields = fields;
  h.record_len = *len;
  h.header_len = static_cast<uint16_t>(32 + 32 * fields.size() + 2);
  h.version = h.HasMemo() ? 0xF5 : 0x03;
  h.language_driver = LanguageDriverFor(opt.codepage);
  Today(&h.update_year, &h.update_month, &h.update_day);
  std::string bytes = SerializeHeader(h);
  bytes.push_back(0x1A);
  {
    auto f = env->Create(path, true);
    if (!f.ok()) return f.status();
    XB_RETURN_IF_ERROR((*f)->WriteAt(0, bytes.data(), bytes.size()));
    XB_RETURN_IF_ERROR((*f)->Sync());
  }
  if (h.HasMemo()) {
    auto m = MemoFile::Create(env, ReplaceExtension(path, ".FPT"), opt.memo_block_size);
    if (!m.ok()) return m.status();
    XB_RETURN_IF_ERROR((*m)->Sync());
  }
  OpenOptions oo;
  oo.env = env;
  oo.exclusive = opt.exclusive;
  return Open(path, oo);
}

Status Table::Close() {
  if (!file_) return Status::OK();
  Status s = WriteBack();
  if (index_) {
    Status is = index_->Flush();
    if (s.ok()) s = is;
  }
  // Alone with the index: its rollback journal has nobody left to protect.
  if (index_ && exclusive_ && !read_only_ && s.ok()) index_->DropJournal();
  UnlockAll();
  index_.reset();
  memo_.reset();
  UnbindLocks();
  file_.reset();
  return s;
}

int Table::FieldIndex(const std::string& name) const {
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].name.size() == name.size() &&
        strncasecmp(fields_[i].name.c_str(), name.c_str(), name.size()) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

Status Table::RefreshCount() {
  if (exclusive_) return Status::OK();
  uint8_t b[4];
  XB_RETURN_IF_ERROR(file_->ReadExact(4, b, 4));
  uint32_t n = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(file_->Size(&size));
  if (header_len_ + static_cast<uint64_t>(n) * record_len_ > size)
    return Status::Corrupt(path_ + ": header says " + std::to_string(n) +
                           " records but the file is shorter");
  known_size_ = size;
  count_ = n;
  return Status::OK();
}

Result<uint32_t> Table::RecCount() {
  XB_RETURN_IF_ERROR(RefreshCount());
  return count_;
}

bool Table::Hidden() const { return DeletedHidden() && rec_[0] == '*'; }
bool Table::Deleted() const { return !eof_ && rec_[0] == '*'; }

Status Table::ReadRecord(uint32_t recno) {
  size_t got = 0;
  XB_RETURN_IF_ERROR(file_->ReadAt(RecordOffset(recno), rec_.data(), record_len_, &got));
  if (got != record_len_)
    return Status::Corrupt(path_ + ": record " + std::to_string(recno) + " is cut short");
  orig_ = rec_;
  dirty_ = false;
  return Status::OK();
}

void Table::SetEof() {
  recno_ = count_ + 1;
  eof_ = true;
  rec_.assign(record_len_, ' ');
  for (const auto& fd : fields_) BlankField(fd, rec_.data());
  orig_ = rec_;
  dirty_ = false;
}

Status Table::LoadRecord(uint32_t recno) {
  if (recno == 0 || recno > count_) {
    XB_RETURN_IF_ERROR(RefreshCount());
    if (recno == 0 || recno > count_) {
      SetEof();
      return Status::OK();
    }
  }
  Status s = ReadRecord(recno);
  if (!s.ok()) {
    SetEof();
    return s;
  }
  recno_ = recno;
  eof_ = false;
  bof_ = false;
  return Status::OK();
}

Status Table::GoTo(uint32_t recno) {
  XB_RETURN_IF_ERROR(WriteBack());
  found_ = false;
  XB_RETURN_IF_ERROR(LoadRecord(recno));
  bof_ = eof_ && count_ == 0;
  // The controlling tag's cursor is not put on the record here: a step in
  // key order puts it there first (Skip), from the record as it is then, and
  // most jumps to a record are followed by a read or a change, not a step.
  // Finding the entry would cost a descent of the tag for nothing.
  return Status::OK();
}

Status Table::VisibleFrom(uint32_t r, bool forward) {
  while (r != 0) {
    XB_RETURN_IF_ERROR(LoadRecord(r));
    if (!eof_ && !Hidden()) return Status::OK();
    XB_RETURN_IF_ERROR(forward ? index_->Next(&r) : index_->Prev(&r));
  }
  XB_RETURN_IF_ERROR(RefreshCount());
  SetEof();
  bof_ = true;  // nothing visible in this order: both ends at once
  return Status::OK();
}

Status Table::GoTop() {
  XB_RETURN_IF_ERROR(WriteBack());
  found_ = false;
  if (index_ && index_->order() >= 0) {
    uint32_t r = 0;
    XB_RETURN_IF_ERROR(index_->Top(&r));
    return VisibleFrom(r, true);
  }
  XB_RETURN_IF_ERROR(RefreshCount());
  if (count_ == 0) {
    SetEof();
    bof_ = true;
    return Status::OK();
  }
  XB_RETURN_IF_ERROR(LoadRecord(1));
  if (Hidden()) XB_RETURN_IF_ERROR(SkipRecordOrder(1));
  if (eof_) bof_ = true;
  return Status::OK();
}

Status Table::GoBottom() {
  XB_RETURN_IF_ERROR(WriteBack());
  found_ = false;
  if (index_ && index_->order() >= 0) {
    uint32_t r = 0;
    XB_RETURN_IF_ERROR(index_->Bottom(&r));
    return VisibleFrom(r, false);
  }
  XB_RETURN_IF_ERROR(RefreshCount());
  if (count_ == 0) {
    SetEof();
    bof_ = true;
    return Status::OK();
  }
  XB_RETURN_IF_ERROR(LoadRecord(count_));
  if (Hidden()) {
    XB_RETURN_IF_ERROR(SkipRecordOrder(-1));
    if (bof_) {
      SetEof();
      bof_ = true;
    }
  }
  return Status::OK();
}

Status Table::SkipRecordOrder(int64_t n) {
  if (n == 0) return eof_ ? Status::OK() : LoadRecord(recno_);
  const int step = n > 0 ? 1 : -1;
  int64_t left = n > 0 ? n : -n;
  uint32_t r = eof_ ? count_ + 1 : recno_;
  uint32_t last_visible = eof_ ? 0 : recno_;
  while (left > 0) {
    if (step > 0) {
      ++r;
      if (r > count_) {
        XB_RETURN_IF_ERROR(RefreshCount());
        if (r > count_) {
          SetEof();
          return Status::OK();
        }
      }
    } else {
      if (r > count_ + 1) r = count_ + 1;
      if (--r == 0) {
        // Before the first record: BOF, staying on the first visible one.
        if (last_visible == 0) {
          SetEof();
        } else if (last_visible != recno_ || eof_) {
          XB_RETURN_IF_ERROR(LoadRecord(last_visible));
        }
        bof_ = true;
        return Status::OK();
      }
    }
    XB_RETURN_IF_ERROR(LoadRecord(r));
    if (eof_) return Status::OK();
    if (Hidden()) continue;
    last_visible = r;
    --left;
  }
  return Status::OK();
}

Status Table::Skip(int64_t n) {
  XB_RETURN_IF_ERROR(WriteBack());
  found_ = false;
  bof_ = false;
  if (!(index_ && index_->order() >= 0)) {
    if (eof_ && n > 0) return Status::OK();
    if (eof_ && n < 0) {
      XB_RETURN_IF_ERROR(RefreshCount());
      recno_ = count_ + 1;
    }
    return SkipRecordOrder(n);
  }
  if (n == 0) return eof_ ? Status::OK() : LoadRecord(recno_);
  bool forward = n > 0;
  int64_t left = forward ? n : -n;
  // The step right after Sync trusts the counter Sync has just read: a
  // commit between the two is one that came just after the step.
  bool fresh = false;
  if (eof_) {
    if (forward) return Status::OK();
    // Skipping back from the end lands on the last visible record.
    XB_RETURN_IF_ERROR(GoBottom());
    --left;
    if (eof_) return Status::OK();
  } else {
    bool present = false;
    XB_RETURN_IF_ERROR(index_->Sync(recno_, rec_, &present, &fresh));
  }
  uint32_t last_visible = recno_;
  while (left > 0) {
    uint32_t r = 0;
    XB_RETURN_IF_ERROR(forward ? index_->Next(&r, fresh) : index_->Prev(&r, fresh));
    fresh = false;
    if (r == 0) {
      if (forward) {
        XB_RETURN_IF_ERROR(RefreshCount());
        SetEof();
      } else {
        XB_RETURN_IF_ERROR(LoadRecord(last_visible));
        bool present = false;
        XB_RETURN_IF_ERROR(index_->Sync(recno_, rec_, &present));
        bof_ = true;
      }
      return Status::OK();
    }
    XB_RETURN_IF_ERROR(LoadRecord(r));
    if (eof_ || Hidden()) continue;
    last_visible = r;
    --left;
  }
  return Status::OK();
}

Result<Value> Table::Get(int field) const {
  if (field < 0 || field >= static_cast<int>(fields_.size()))
    return Status::InvalidArgument(path_ + ": no field number " + std::to_string(field + 1));
  const FieldDef& f = fields_[field];
  if (IsMemoType(f.type)) {
    uint32_t block = DecodeMemoBlock(f, rec_.data());
    if (!memo_ || block == 0) return Value::Char("");
    auto m = memo_->Read(block);
    if (!m.ok())
      return m.status().With(path_ + ": record " + std::to_string(recno_) + " field " + f.name);
    return Value::Char(std::move(*m));
  }
  return DecodeField(f, rec_.data());
}

Result<Value> Table::Get(const std::string& field) const {
  int i = FieldIndex(field);
  if (i < 0) return Status::NotFound(path_ + ": no field " + field);
  return Get(i);
}

Status Table::RequireWritable(const char* what) const {
  if (read_only_) return Status::ReadOnly(path_ + ": opened read-only, cannot " + what);
  return Status::OK();
}

Status Table::RequireLockedForWrite() const {
  if (exclusive_ || file_locked_ || locks_.contains(recno_)) return Status::OK();
  return Status::InvalidArgument(path_ + ": record " + std::to_string(recno_) +
                                 " must be locked before it is changed");
}

Status Table::Put(int field, const Value& v) {
  XB_RETURN_IF_ERROR(RequireWritable("change a field"));
  if (eof_) return Status::InvalidArgument(path_ + ": no current record (end of file)");
  if (field < 0 || field >= static_cast<int>(fields_.size()))
    return Status::InvalidArgument(path_ + ": no field number " + std::to_string(field + 1));
  XB_RETURN_IF_ERROR(RequireLockedForWrite());
  const FieldDef& f = fields_[field];
  if (IsMemoType(f.type)) {
    if (!v.is_char()) return Status::InvalidArgument(path_ + ": field " + f.name + " takes text");
    if (!memo_) return Status::NotFound(path_ + ": memo file is not open");
    // Always new blocks: the committed record keeps pointing at its old text
    // until the record itself is written, so a process killed in between
    // loses only the uncommitted change. Pack reclaims the old blocks.
    auto b = memo_->Write(0, v.str());
    if (!b.ok()) return b.status();
    EncodeMemoBlock(f, *b, rec_.data());
    dirty_ = true;
    return Status::OK();
  }
  XB_RETURN_IF_ERROR(EncodeField(f, v, rec_.data(), path_));
  dirty_ = true;
  return Status::OK();
}

Status Table::Put(const std::string& field, const Value& v) {
  int i = FieldIndex(field);
  if (i < 0) return Status::NotFound(path_ + ": no field " + field);
  return Put(i, v);
}

Status Table::WriteHeaderDate() {
  if (header_dated_) return Status::OK();
  int y, m, d;
  Today(&y, &m, &d);
  uint8_t b[3] = {static_cast<uint8_t>(y - 1900), static_cast<uint8_t>(m), static_cast<uint8_t>(d)};
  XB_RETURN_IF_ERROR(file_->WriteAt(1, b, 3));
  header_dated_ = true;
  return Status::OK();
}

Status Table::WriteBack() {
  if (!dirty_ || eof_ || !file_) return Status::OK();
  if (observer_) XB_RETURN_IF_ERROR(observer_->BeforeWrite(*this, recno_, orig_));
  // The record and its index entries go out as one change (through the
  // index's rollback journal): a process killed in between leaves both as
  // they were. Keys are computed before anything is written, so a key that
  // cannot be built refuses the change.
  Status s = WriteHeaderDate();
  if (s.ok() && index_) {
    s = index_->Update(recno_, &orig_, rec_, {{RecordOffset(recno_), rec_}});
  } else if (s.ok()) {
    s = file_->WriteAt(RecordOffset(recno_), rec_.data(), record_len_);
  }
  // Waiting did not get the index: nothing was written and the change is
  // still pending, to be written by a retry.
  if (s.IsBusy()) return s;
  if (!s.ok()) {
    std::string on_disk(record_len_, '\0');
    size_t got = 0;
    if (file_->ReadAt(RecordOffset(recno_), on_disk.data(), record_len_, &got).ok() &&
        got == record_len_ && on_disk == orig_ && on_disk != rec_) {
      // The keys failed before anything was written: the change is refused
      // and the record stays as it is on disk.
      rec_ = orig_;
      dirty_ = false;
      return s;
    }
  }
  orig_ = rec_;
  dirty_ = false;
  // The cursor follows the record at the next step in key order (see GoTo).
  return s;
}

void Table::BindHeaderLock() {
  UnbindLocks();
  if (!file_) return;
  header_lock_ = std::make_unique<LingeringLock>(env_, file_.get(), kHeaderLockOffset);
  kept_locks_ = std::make_unique<KeptRecordLocks>(env_, file_.get());
}

void Table::UnbindLocks() {
  kept_locks_.reset();
  header_lock_.reset();
}

Status Table::LockHeader() {
  // Appends hold this lock for a few microseconds, so wait for it briefly.
  for (int i = 0; i < 4000; ++i) {
    Status s = header_lock_->Lock(true);
    if (!s.IsBusy()) return s;
    std::this_thread::sleep_for(std::chrono::microseconds(250));
  }
  return Status::Busy(path_ + ": table header locked by another user");
}

void Table::UnlockHeader() { (void)header_lock_->Unlock(); }

Status Table::Append() {
  std::string blank(record_len_, ' ');
  for (const auto& fd : fields_) BlankField(fd, blank.data());
  XB_RETURN_IF_ERROR(AppendBytes(blank, true));
  // Written back even when left blank, as every xBase engine does.
  dirty_ = true;
  return Status::OK();
}

Status Table::AppendBytes(const std::string& rec, bool blank) {
  XB_RETURN_IF_ERROR(RequireWritable("append"));
  XB_RETURN_IF_ERROR(WriteBack());
  found_ = false;
  if (!exclusive_) XB_RETURN_IF_ERROR(LockHeader());
  IndexSet* index = index_.get();
  // The record count, the new record and its keys are one change under the
  // index lock: taken before the count is read, since taking it may undo a
  // killed writer's append.
  Status s = index ? index->Lock() : Status::OK();
  const bool index_locked = s.ok() && index;
  if (s.ok() && !exclusive_) {
    // The count under the header lock. Its size check needs no look at the
    // file when the count lies inside what we know the file holds (our own
    // appends, most of the time): shared files only grow.
    uint8_t b[4];
    s = file_->ReadExact(4, b, 4);
    const uint32_t n = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    if (s.ok() && header_len_ + static_cast<uint64_t>(n) * record_len_ > known_size_)
      s = RefreshCount();
    else if (s.ok())
      count_ = n;
  }
  uint32_t recno = count_ + 1;
  // Record numbers past the file-lock range could neither be locked nor be
  // told apart from the header lock.
  if (s.ok() && count_ >= kFileLockSize)
    s = Status::InvalidArgument(path_ + ": table is full (" + std::to_string(count_) +
                                " records)");
  if (s.ok() && observer_) s = observer_->BeforeAppend(*this, recno);
  bool locked_new = false;
  if (s.ok() && !exclusive_ && !file_locked_) {
    s = file_->Lock(RecordLockOffset(recno), 1, true);
    if (s.IsBusy()) s = Status::Busy(path_ + ": new record " + std::to_string(recno) + " is locked");
    locked_new = s.ok();
  }
  if (s.ok()) s = WriteHeaderDate();
  if (s.ok()) {
    std::string out = rec;
    out.push_back(0x1A);
    std::string count(4, '\0');
    for (int i = 0; i < 4; ++i) count[i] = static_cast<char>(recno >> (8 * i));
    if (index) {
      // What lay past the old end is not part of the table: only the
      // end-of-file mark the record goes over is kept for a rollback.
      s = index->Update(recno, nullptr, rec, {{RecordOffset(recno), out, 1}, {4, count}}, blank);
      if (s.ok()) known_size_ = std::max(known_size_, RecordOffset(recno) + record_len_ + 1);
    } else {
      s = file_->WriteAt(RecordOffset(recno), out.data(), out.size());
      if (s.ok()) s = file_->WriteAt(4, count.data(), 4);
      if (s.ok()) known_size_ = std::max(known_size_, RecordOffset(recno) + record_len_ + 1);
    }
  }
  if (index_locked) {
    Status u = index->Unlock();
    if (s.ok()) s = u;
  }
  if (!exclusive_) UnlockHeader();
  if (!s.ok()) {
    // The record was not added: its lock goes too.
    if (locked_new) file_->Unlock(RecordLockOffset(recno), 1);
    return s;
  }
  if (locked_new) locks_.insert(recno);
  count_ = recno;
  recno_ = recno;
  rec_ = rec;
  orig_ = rec;
  eof_ = bof_ = false;
  dirty_ = false;
  // The cursor follows the record at the next step in key order (see GoTo).
  return Status::OK();
}

Status Table::Delete() {
  XB_RETURN_IF_ERROR(RequireWritable("delete"));
  if (eof_) return Status::InvalidArgument(path_ + ": no current record to delete");
  XB_RETURN_IF_ERROR(RequireLockedForWrite());
  rec_[0] = '*';
  dirty_ = true;
  return Status::OK();
}

Status Table::Recall() {
  XB_RETURN_IF_ERROR(RequireWritable("recall"));
  if (eof_) return Status::InvalidArgument(path_ + ": no current record to recall");
  XB_RETURN_IF_ERROR(RequireLockedForWrite());
  rec_[0] = ' ';
  dirty_ = true;
  return Status::OK();
}

Status Table::RestoreRecord(uint32_t recno, const std::string& bytes) {
  XB_RETURN_IF_ERROR(RequireWritable("restore a record"));
  if (bytes.size() != record_len_)
    return Status::InvalidArgument(path_ + ": record image of the wrong length");
  XB_RETURN_IF_ERROR(GoTo(recno));
  if (eof_) return Status::NotFound(path_ + ": no record " + std::to_string(recno));
  XB_RETURN_IF_ERROR(RequireLockedForWrite());
  rec_ = bytes;
  dirty_ = true;
  return WriteBack();
}

Status Table::EraseRecord(uint32_t recno) {
  XB_RETURN_IF_ERROR(RequireWritable("erase a record"));
  XB_RETURN_IF_ERROR(GoTo(recno));
  if (eof_) return Status::NotFound(path_ + ": no record " + std::to_string(recno));
  XB_RETURN_IF_ERROR(RequireLockedForWrite());
  std::string blank(record_len_, ' ');
  for (const auto& fd : fields_) BlankField(fd, blank.data());
  blank[0] = '*';
  if (observer_) XB_RETURN_IF_ERROR(observer_->BeforeWrite(*this, recno_, orig_));
  Status s = index_ ? index_->Remove(recno, orig_, {{RecordOffset(recno), blank}})
                    : file_->WriteAt(RecordOffset(recno), blank.data(), record_len_);
  if (s.IsBusy()) return s;  // nothing written
  rec_ = orig_ = blank;
  dirty_ = false;
  return s;
}

Status Table::Flush() {
  if (read_only_) return Status::OK();
  XB_RETURN_IF_ERROR(WriteBack());
  if (index_) XB_RETURN_IF_ERROR(index_->Flush());
  if (memo_) XB_RETURN_IF_ERROR(memo_->Sync());
  return file_->Sync();
}

}  // namespace xb
