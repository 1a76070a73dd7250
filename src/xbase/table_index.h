// The structural index of one Table: its tags with compiled key and FOR
// expressions, the controlling tag's cursor and scope, and key maintenance
// when records change. Private to the engine.
#pragma once

#include <bitset>
#include <functional>
#include <memory>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/cdx.h"
#include "xbase/expr.h"
#include "xbase/table.h"

namespace xb {

class IndexSet {
 public:
  // What an evaluation of a key or FOR condition read of a record: a record
  // that differs from it elsewhere has the same key.
  struct ReadFields {
    std::bitset<256> fields;  // field numbers
    bool deleted = false;     // the deletion mark
  };

  struct Tag {
    CdxTag* cdx = nullptr;
    std::unique_ptr<Expression> key;
    std::unique_ptr<Expression> cond;  // null without FOR
    // A key that is character fields one after another ("NEGOCIO+CODIGO",
    // most tags): their numbers, so the key is copied straight out of the
    // record. Empty: the key expression is evaluated.
    std::vector<int> plain_fields;
    // Every field the key and FOR expressions name (and whether they ask
    // for the deletion mark): a change that touches none of them leaves the
    // tag alone without computing a key. Unset when a field lies past what
    // ReadFields can hold.
    bool reads_known = false;
    ReadFields reads;
  };

  static Result<std::unique_ptr<IndexSet>> Open(Table* t, const std::string& path, OpenMode mode);
  static Result<std::unique_ptr<IndexSet>> Create(Table* t, const std::string& path);

  const std::string& path() const { return cdx_->path(); }
  int tag_count() const { return static_cast<int>(tags_.size()); }
  Tag& tag(int i) { return tags_[i]; }
  std::vector<TagInfo> Infos() const;
  std::vector<TagDef> Defs() const;  // as the tag directory holds them
  int FindTag(const std::string& name) const;  // -1 when missing

  // Bytes of the table file written together with the index entries (the
  // caller's bytes: they are copied before Update or Remove returns).
  struct TableWrite {
    uint64_t off;
    std::string_view bytes;
    // Leading bytes whose old contents a rollback puts back; an appended
    // record saves only the end-of-file mark it overwrites.
    size_t saved = SIZE_MAX;
  };

  // One change of record `recno` and its keys, written as one unit through
  // the index's rollback journal (`writes` are the record's bytes): a process
  // killed in the middle leaves both as they were. `old_rec` is null for a
  // record that is new to the index. Every key is computed before anything
  // is written, so a key that cannot be computed refuses the change; with
  // `blank_keys_may_fail` (a new blank record) such a tag just leaves the
  // record out until it is written with its values.
  Status Update(uint32_t recno, const std::string* old_rec, const std::string& new_rec,
                std::initializer_list<TableWrite> writes, bool blank_keys_may_fail = false);

  // Takes record `recno` (whose bytes are `rec`) out of every tag, writing
  // `writes` with it.
  Status Remove(uint32_t recno, const std::string& rec,
                std::initializer_list<TableWrite> writes = {});

  // The index lock around several changes that must be one (an append: the
  // record count, the record and its keys). Lock() undoes a change a killed
  // writer left half-done before anything is read.
  Status Lock();
  Status Unlock() { return cdx_->UnlockWrite(); }
  // Undoes a killed writer's unfinished change now (before a record is read
  // under its lock); no cost when there is none.
  Status CatchUp() { return cdx_->Refresh(); }

  // Computes the key of `rec` for tag `i`; `*in_tag` false when the FOR
  // condition leaves the record out. `read` (optional) collects what the
  // evaluation looked at.
  Status KeyFor(int i, const std::string& rec, std::string* key, bool* in_tag,
                ReadFields* read = nullptr) const;

  // Controlling order.
  int order() const { return order_; }  // -1 = record order
  Status SetOrder(int i);
  Status SetScope(const std::optional<std::string>& top, const std::optional<std::string>& bottom);
  const std::optional<std::string>& scope_top() const { return scope_top_; }
  const std::optional<std::string>& scope_bottom() const { return scope_bottom_; }
  // Positions the cursor; *recno = 0 when outside the scope / past the end.
  Status Top(uint32_t* recno);
  Status Bottom(uint32_t* recno);
  // `fresh`: the caller has just made sure the cache is current (a Sync
  // right before), so the step needs no second look at the change counter.
  Status Next(uint32_t* recno, bool fresh = false);
  Status Prev(uint32_t* recno, bool fresh = false);
  Status Seek(const std::string& key, bool soft, bool last, uint32_t* recno, bool* found);
  // Puts the cursor on the entry of `rec`/`recno` in the controlling tag (after
  // GoTo or a change of the current record). *present false when the record
  // has no entry (FOR condition, or a key changed under us): the cursor then
  // stands where the entry would be, and the next Next/Prev steps from there.
  // `*fresh` (optional) tells whether it looked at the change counter, so
  // that a step right after needs no second look.
  Status Sync(uint32_t recno, const std::string& rec, bool* present, bool* fresh = nullptr);
  Result<std::string> EncodeSeekKey(const Value& v) const;

  Status AddTag(const TagDef& tdef, std::unique_ptr<Expression> key,
                std::unique_ptr<Expression> cond);
  Status DeleteTag(int i);
  // Rebuilds every tag from the records, in place.
  Status Rebuild();
  // Writes a complete new index at `path` with the tags `defs`, over the
  // first `count` records of `records` (a file laid out like the table's).
  static Status BuildFile(Table* t, const std::string& path, const std::vector<TagDef>& defs,
                          File* records, uint32_t count);
  Status Check(std::vector<std::string>* problems);
  Status Flush();
  void DropJournal() { cdx_->DropJournal(); }
  Status Reset();  // empties every tag (zap)

 private:
  IndexSet(Table* t, std::unique_ptr<CdxFile> cdx) : table_(t), cdx_(std::move(cdx)) {}
  Status BindTags();
  // The character fields a key expression joins, when that is all it does.
  std::vector<int> PlainFields(const TagDef& tdef) const;
  // Notes in `tag` every field its expressions name (see Tag::reads).
  void NoteNamedFields(const TagDef& tdef, Tag* tag) const;
  // Whether `key` is the key of `rec` in tag `i`, told without building it;
  // false also when the tag's key is not plain fields or it has a FOR
  // condition (the caller then builds the key).
  bool PlainKeyIs(int i, const std::string& rec, const std::string& key) const;
  // Key of `rec` for tag `i`, whatever its FOR condition says.
  Status KeyOf(int i, const std::string& rec, std::string* key, ReadFields* read = nullptr) const;
  // What differs between records `a` and `b`: the fields whose bytes differ,
  // and the deletion mark.
  ReadFields ChangedFields(const std::string& a, const std::string& b) const;
  // -1 before the scope's top, 1 past its bottom (logical order), 0 inside.
  int ScopeSide(const std::string& key) const;
  Status Settle(bool forward, uint32_t* recno);
  // Asks, every few steps of a walk, for the records of the next several
  // entries while this one is read.
  void PrefetchAhead(bool forward);
  Status SeekTop();     // the cursor to the first entry of the scope
  Status SeekBottom();  // the cursor to the last entry of the scope
  Status BuildTag(int i, File* records, uint32_t count);
  Status AddEmptyTag(const TagDef& tdef, const Expression& key);

  Table* table_;
  std::unique_ptr<CdxFile> cdx_;
  std::vector<Tag> tags_;
  int order_ = -1;
  std::unique_ptr<CdxCursor> cursor_;
  std::optional<std::string> scope_top_, scope_bottom_;
  bool between_ = false;  // Sync found no entry: the cursor is on the one after
  unsigned walk_steps_ = 0;  // steps since the cursor was last put somewhere
  std::string sync_key_;
  struct Change {  // of one tag, in Update
    int tag = 0;
    bool remove = false, insert = false;
    std::string old_key, new_key;
  };
  std::vector<Change> changes_;
};

}  // namespace xb
