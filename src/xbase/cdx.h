// Structural compound index (.CDX, FoxPro compact format): one file holding
// several tags, each a B-tree of 512-byte pages with compressed leaf keys.
// Keys are fixed-length byte strings already encoded (see key_encoding.h);
// this layer knows nothing about records or expressions.
//
// Multi-user protocol: every change happens between LockWrite() and
// UnlockWrite() (the index lock byte at 0x7FFFFFFE of the .CDX). Before
// trusting cached pages, readers and writers call Refresh(), which drops the
// cache when another process has changed the file since it was filled.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/env.h"
#include "xbase/status.h"

namespace xb {

enum class KeyType : char { kChar = 'C', kNumber = 'N', kDate = 'D', kLogical = 'L' };

struct TagDef {
  std::string name;      // upper case, at most 10 characters
  std::string key_expr;  // expression text as stored in the tag
  std::string for_expr;  // empty when the tag has no FOR condition
  bool descending = false;
  bool unique = false;
  KeyType key_type = KeyType::kChar;
  int key_len = 0;  // bytes per key (8 for numbers and dates, 1 for logicals)
};

class CdxTag;

// A position in one tag, walking it in the tag's logical order (a descending
// tag starts at its highest key). Equal keys come in record-number order;
// a descending tag is the exact reverse of the ascending walk, so there equal
// keys come highest record number first (as FoxPro and Harbour show them).
//
// Cursors never lock or re-read the header by themselves: call
// CdxFile::Refresh() before trusting a position after other users may have
// written. A cursor survives changes to the tag (its own file's or, after
// Refresh, another process's): it finds its entry again by key and recno,
// and when the entry is gone it steps to its neighbours.
class CdxCursor {
 public:
  virtual ~CdxCursor() = default;
  virtual Status First() = 0;
  virtual Status Last() = 0;
  virtual Status Next() = 0;
  virtual Status Prev() = 0;
  // Positions on the first entry (in logical order) whose key starts with
  // `key` (compared over key.size() bytes). With `soft`, when none matches,
  // stays on the entry that would follow it; `last` picks the last matching
  // entry instead of the first. `*found` tells whether a match was found.
  virtual Status Seek(const std::string& key, bool soft, bool last, bool* found) = 0;
  // Positions exactly on (key, recno). When the tag lacks it: NotFound, and
  // the cursor stands on the entry that would follow it in logical order
  // (off the end when none does).
  virtual Status SeekEntry(const std::string& key, uint32_t recno) = 0;
  // False before the first / after the last entry.
  virtual bool Valid() const = 0;
  virtual uint32_t recno() const = 0;
  virtual const std::string& key() const = 0;  // full key_len bytes
  // The record of the entry `ahead` steps on in logical order, when the
  // cursor already holds it (same leaf, nothing changed since); 0 otherwise.
  // Costs no read: callers use it to fetch records early.
  virtual uint32_t Upcoming(int ahead) const = 0;
};

class CdxTag {
 public:
  virtual ~CdxTag() = default;
  virtual const TagDef& def() const = 0;
  // Tells the tag how its keys are padded (blank for character keys, zero
  // bytes otherwise). Called once after open, before any key is read.
  virtual void SetKeyType(KeyType type) = 0;
  // Keys shorter than key_len are padded (see SetKeyType); longer ones are
  // InvalidArgument. Insert of an entry already there is Exists; on a unique
  // tag a key already present (under any recno) is silently not added, as
  // xBase unique indexes keep the first record of each key. Remove of an
  // entry not there is NotFound. Without LockWrite() held, each call takes
  // and releases the index lock itself (kBusy if another user holds it).
  virtual Status Insert(const std::string& key, uint32_t recno) = 0;
  virtual Status Remove(const std::string& key, uint32_t recno) = 0;
  virtual std::unique_ptr<CdxCursor> NewCursor() = 0;
  // Replaces every entry with `entries`, which must be sorted by (key, recno)
  // in ascending byte order.
  virtual Status Build(const std::vector<std::pair<std::string, uint32_t>>& entries) = 0;
};

class CdxFile {
 public:
  virtual ~CdxFile() = default;
  static Result<std::unique_ptr<CdxFile>> Open(Env* env, const std::string& path, OpenMode mode);
  // Creates an empty structural index (tag directory only); fails with Exists
  // unless `truncate`.
  static Result<std::unique_ptr<CdxFile>> Create(Env* env, const std::string& path, bool truncate);

  virtual const std::string& path() const = 0;
  virtual int tag_count() const = 0;
  virtual CdxTag* tag(int i) = 0;                        // in directory order
  virtual CdxTag* FindTag(const std::string& name) = 0;  // case insensitive; null if none

  virtual Result<CdxTag*> AddTag(const TagDef& tdef) = 0;  // empty; replaces a same-named tag
  virtual Status DeleteTag(const std::string& name) = 0;

  virtual Status LockWrite() = 0;    // blocks others' changes; kBusy if held elsewhere
  virtual Status UnlockWrite() = 0;  // writes dirty pages, bumps the change counter
  virtual Status Refresh() = 0;      // drop cached pages if another process changed the file
  virtual Status Flush() = 0;        // write dirty pages (and sync when `Sync`)
  virtual Status Sync() = 0;
  // Checks the structure a writer trusts (page pointers, attributes, sibling
  // chains, parent keys, key order, the free-page list); each fault found is
  // appended to `problems`. The status is an error only when reading failed.
  virtual Status Verify(std::vector<std::string>* problems) = 0;
  // Removes the rollback journal beside the index (cdx-format.md, "Crash
  // safety") when every change was completed. Only for a user that has the
  // index to itself: others keep writing their journal through open handles.
  virtual void DropJournal() = 0;

  // The table whose records change together with this index (`name` is its
  // file name, beside the index). Bytes given to AddTableWrite are written by
  // the next commit together with the index pages, their old bytes going to
  // the same rollback journal, so a record and its entries are undone as one.
  virtual void BindTable(File* table, const std::string& name) = 0;
  // Needs LockWrite(); the bytes reach the table when the lock is released.
  // Only the first `saved` bytes have old contents worth saving (the rest
  // lies past the table's end: an appended record).
  // The bytes are copied.
  virtual void AddTableWrite(uint64_t offset, std::string_view bytes, size_t saved = SIZE_MAX) = 0;
};

}  // namespace xb
