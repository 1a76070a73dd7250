// A DBF table with its FPT memo file and structural CDX index: the cursor the
// rest of the program works with. One Table object is one user's view: its
// own current record, controlling tag, scope and locks.
//
// Shared mode follows the Visual FoxPro lock scheme so that our processes and
// other xBase programs exclude each other: record lock at 0x7FFFFFFE - recno,
// file lock on the range just below it, header (append) lock at 0x7FFFFFFE.
// Changes by other users are seen on the next read: records are read from the
// file whenever the cursor moves, and the record count is re-read from the
// header when it matters (bottom, append, end of file).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "xbase/codepage.h"
#include "xbase/env.h"
#include "xbase/field.h"
#include "xbase/status.h"
#include "xbase/value.h"

namespace xb {

class MemoFile;
class IndexSet;
class KeptRecordLocks;
class LingeringLock;
class NewRecord;
class Table;

// Sees every change before it reaches the file, so that a transaction layer
// can journal before-images. Any error it returns cancels the change.
class TableObserver {
 public:
  virtual ~TableObserver() = default;
  // `before` is the record as on disk (deletion flag first).
  virtual Status BeforeWrite(Table& t, uint32_t recno, const std::string& before) = 0;
  // Called under the append lock, before record `recno` is added.
  virtual Status BeforeAppend(Table& t, uint32_t recno) = 0;
};

// Process-wide switch: deleted records are hidden from every navigation
// (on by default, as the suite runs with SET DELETED ON).
void SetDeletedHidden(bool hidden);
bool DeletedHidden();

struct OpenOptions {
  Env* env = nullptr;  // null = Env::Default()
  bool read_only = false;
  bool exclusive = false;
  bool open_index = true;        // open the structural .CDX when there is one
  bool require_index = true;     // a header that announces a .CDX that is missing is an error
};

struct CreateOptions {
  Env* env = nullptr;
  bool overwrite = false;        // replace an existing table (and its memo and index)
  bool exclusive = false;        // keep it open exclusively
  CodePage codepage = CodePage::kWindows1252;
  uint32_t memo_block_size = 64;
};

struct TagInfo {
  std::string name;
  std::string key;
  std::string for_expr;
  bool descending = false;
  char key_type = 'C';
  int key_len = 0;
};

class Table {
 public:
  static Result<std::unique_ptr<Table>> Open(const std::string& path, const OpenOptions& opt = {});
  // Creates the files (DBF, and FPT when a memo field exists); names are
  // written upper case. The new table is open and positioned at end of file.
  static Result<std::unique_ptr<Table>> Create(const std::string& path, FieldList fields,
                                               const CreateOptions& opt = {});
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Writes pending changes, releases locks and closes the files.
  Status Close();

  const std::string& path() const { return path_; }
  const std::string& name() const { return name_; }  // upper case, no extension
  const FieldList& fields() const { return fields_; }
  int FieldIndex(const std::string& name) const;  // -1 when missing (case insensitive)
  CodePage codepage() const { return codepage_; }
  bool exclusive() const { return exclusive_; }
  bool read_only() const { return read_only_; }
  uint16_t record_length() const { return record_len_; }

  // Number of records in the file, deleted ones included.
  Result<uint32_t> RecCount();

  // --- navigation (controlling tag order, or record order without one)
  Status GoTop();
  Status GoBottom();
  Status GoTo(uint32_t recno);  // record number, whatever the order
  Status Skip(int64_t n = 1);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool Found() const { return found_; }
  uint32_t RecNo() const { return recno_; }
  bool Deleted() const;

  // --- fields of the current record (blank values at end of file)
  Result<Value> Get(int field) const;
  Result<Value> Get(const std::string& field) const;
  Status Put(int field, const Value& v);
  Status Put(const std::string& field, const Value& v);
  // Raw record bytes (deletion flag first) of the current record.
  const std::string& RecordBytes() const { return rec_; }

  // Appends a blank record, locks it and makes it current.
  Status Append();
  Status Delete();
  Status Recall();
  // Writes the pending record, header and index pages and syncs them to disk.
  Status Flush();
  // Writes the pending record (and its keys) without syncing.
  Status WriteBack();

  // Observer of every change (null = none). Memos are never rewritten in
  // place, so a before-image keeps pointing at the old text.
  void SetObserver(TableObserver* o) { observer_ = o; }
  TableObserver* observer() const { return observer_; }
  // Puts back the bytes of record `recno` as they were (undo of a change),
  // keeping every tag in step. Needs the record locked in shared mode.
  Status RestoreRecord(uint32_t recno, const std::string& bytes);
  // Undo of an append: the record becomes blank and deleted and leaves every
  // tag. Needs the record locked in shared mode.
  Status EraseRecord(uint32_t recno);

  // Exclusive-only maintenance.
  Status Pack();
  Status Zap();

  // --- locks (shared mode; no-ops when exclusive)
  Status LockRecord(uint32_t recno = 0);  // 0 = current; re-reads it once locked
  Status UnlockRecord(uint32_t recno);
  Status UnlockAll();
  Status LockFile();
  bool IsRecordLocked(uint32_t recno) const;
  bool IsFileLocked() const { return file_locked_; }
  std::vector<uint32_t> LockedRecords() const;

  // --- index (structural .CDX)
  std::vector<TagInfo> Tags() const;
  Status SetOrder(const std::string& tag);  // "" = record order
  Status SetOrder(int n);                   // 0 = record order, 1.. = tag number
  std::string Order() const;                // controlling tag name, "" for none
  // Seeks `key` on the controlling tag: a prefix for character tags, a
  // number/date/logical for the others. Sets Found(); without `soft`, a miss
  // leaves the table at end of file.
  Status Seek(const Value& key, bool soft = false, bool last = false);
  // Limits navigation to keys between `top` and `bottom` (character scopes
  // compare as prefixes). Either may be null for no limit.
  Status SetScope(const std::optional<Value>& top, const std::optional<Value>& bottom);
  Status ClearScope();
  // The current scope as encoded keys, to put back later with RestoreScope
  // (functions that borrow a caller's table restore its order, scope and
  // record when they are done).
  struct ScopeKeys {
    std::optional<std::string> top, bottom;
  };
  ScopeKeys SavedScope() const;
  Status RestoreScope(const ScopeKeys& s);
  // Visible keys of the controlling tag inside the scope.
  Result<uint32_t> KeyCount();
  // Key of the current record in the controlling tag (encoded bytes).
  Result<std::string> CurrentKey();
  Status CreateTag(const std::string& name, const std::string& key_expr,
                   const std::string& for_expr = "", bool descending = false);
  Status DeleteTag(const std::string& name);
  // Rebuilds every tag from the records alone. Exclusive: into a new file
  // swapped in at the end, with the tags the old index lists when its tag
  // directory can be read and the `fallback` ones otherwise (open the table
  // with open_index = false when the old index cannot even be opened).
  // Shared with the file locked: in place, keeping the tags.
  Status Reindex(const std::vector<TagInfo>& fallback = {});
  // Walks every tag and compares it with the keys recomputed from the
  // records; each difference is appended to `problems`.
  Status Check(std::vector<std::string>* problems);

 private:
  friend class IndexSet;
  friend Status AppendRecord(Table& t, const NewRecord& rec);
  Table() = default;
  Status Init(std::unique_ptr<File> f, const std::string& path, const OpenOptions& opt);
  Status ReadRecord(uint32_t recno);  // into rec_/orig_
  Status LoadRecord(uint32_t recno);  // ReadRecord + position flags
  void SetEof();
  bool Hidden() const;
  Status RefreshCount();
  Status LockHeader();
  void UnlockHeader();
  // Appends `rec` (see AppendRecord in new_record.h): the record count, the
  // record and its keys as one change under the header and index locks; the
  // new record is locked and current, nothing pending. `blank` is a blank
  // record, whose keys may fail until its values are written.
  Status AppendBytes(const std::string& rec, bool blank);
  // The header lock and the kept record locks follow the file (a pack swaps
  // the file in).
  void BindHeaderLock();
  void UnbindLocks();
  // Takes a record's or the file's lock bytes, asking again while another
  // handle or user may only be keeping them for a moment.
  Status LockBytes(uint64_t offset, uint64_t len);
  Status RequireWritable(const char* what) const;
  Status RequireLockedForWrite() const;
  Status SkipRecordOrder(int64_t n);
  // Loads index entry `r` and moves on (forward or back) past hidden records;
  // with none left the table is at end of file.
  Status VisibleFrom(uint32_t r, bool forward);
  Status OpenIndex(bool required);
  Status WriteHeaderDate();
  uint64_t RecordOffset(uint32_t recno) const {
    return header_len_ + static_cast<uint64_t>(recno - 1) * record_len_;
  }

  Env* env_ = nullptr;
  std::unique_ptr<File> file_;
  std::unique_ptr<MemoFile> memo_;
  std::unique_ptr<IndexSet> index_;
  std::unique_ptr<LingeringLock> header_lock_;  // bound to file_
  std::unique_ptr<KeptRecordLocks> kept_locks_;  // bound to file_
  std::string path_, name_;
  FieldList fields_;
  CodePage codepage_ = CodePage::kWindows1252;
  uint8_t version_ = 0x03;
  uint8_t header_flags_ = 0;
  uint16_t header_len_ = 0;
  uint16_t record_len_ = 0;
  uint32_t count_ = 0;  // record count as last read from the header
  // The file is known to be at least this long (shared files only grow):
  // a record count inside it needs no look at the file's size.
  uint64_t known_size_ = 0;
  bool exclusive_ = false;
  bool read_only_ = false;
  bool header_dated_ = false;  // last-update date already written this session

  // Current record.
  uint32_t recno_ = 0;
  bool eof_ = true, bof_ = true, found_ = false;
  std::string rec_;   // current bytes (with pending changes)
  std::string orig_;  // bytes as on disk (for index maintenance)
  bool dirty_ = false;

  TableObserver* observer_ = nullptr;
  // Records this handle has locked, in ascending order. A sorted vector
  // rather than a tree: a lock and its release are one per record change on
  // a busy workstation, and the vector keeps its room from lock to lock, so
  // neither allocates (a handle rarely holds more than a few at once).
  class RecordLocks {
   public:
    bool contains(uint32_t r) const {
      auto it = std::lower_bound(v_.begin(), v_.end(), r);
      return it != v_.end() && *it == r;
    }
    void insert(uint32_t r) {
      auto it = std::lower_bound(v_.begin(), v_.end(), r);
      if (it == v_.end() || *it != r) v_.insert(it, r);
    }
    bool erase(uint32_t r) {
      auto it = std::lower_bound(v_.begin(), v_.end(), r);
      if (it == v_.end() || *it != r) return false;
      v_.erase(it);
      return true;
    }
    void clear() { v_.clear(); }
    const std::vector<uint32_t>& sorted() const { return v_; }

   private:
    std::vector<uint32_t> v_;
  };
  RecordLocks locks_;
  bool file_locked_ = false;
};

}  // namespace xb
