// Private to the CDX layer: the classes behind CdxFile, CdxTag and CdxCursor.
//
// Pages are cached decoded (cdx::Node) per file (see cdx_cache.h). The cache
// is trusted while the file's change counter (header offset 8) and free-list
// head (offset 4) stay as they were when it was filled. The first page a read
// operation misses is read under a shared lock on the index lock byte after
// checking the counter, and the operation keeps that lock until it ends, so a
// walk never mixes pages of two versions of the tree and pays the lock once.
// A version change seen at that first miss restarts the operation on a fresh
// cache, this time holding the shared lock from its start: a stream of
// writers cannot make a reader give up.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "xbase/cdx.h"
#include "xbase/cdx_cache.h"
#include "xbase/cdx_format.h"
#include "xbase/lingering_lock.h"

namespace xb::cdx {

class FileImpl;

// One range of the index file a commit writes (its bytes live in the
// file's commit buffer until the commit is done).
struct PageWrite {
  uint32_t off;
  const uint8_t* data;
  uint32_t len;
};

using NodeRef = std::shared_ptr<Node>;

// A place in a tag in storage order: entry `idx` of `leaf`, where idx may be
// leaf->n() (just after the leaf's last entry).
struct Pos {
  NodeRef leaf;
  int idx = 0;
};

// What a descent looks for: an exact (key, recno) entry, or the first entry
// whose key prefix is >= (kPrefixLow) or > (kPrefixHigh) the given bytes.
struct Target {
  enum Mode { kEntry, kPrefixLow, kPrefixHigh } mode = kEntry;
  std::string key;
  uint32_t rec = 0;
};

class TagImpl final : public CdxTag {
 public:
  // header_off 0 is the tag directory.
  TagImpl(FileImpl* file, uint32_t header_off, const uint8_t* header);

  const TagDef& def() const override { return def_; }
  void SetKeyType(KeyType type) override;
  Status Insert(const std::string& key, uint32_t recno) override;
  Status Remove(const std::string& key, uint32_t recno) override;
  std::unique_ptr<CdxCursor> NewCursor() override;
  Status Build(const std::vector<std::pair<std::string, uint32_t>>& entries) override;

  // --- used by the file and cursors ---
  uint32_t header_off() const { return header_off_; }
  std::array<uint8_t, kHeaderSize>& header() { return header_; }
  void ReplaceHeader(const uint8_t* header);
  bool dropped() const { return dropped_; }
  void set_dropped() { dropped_ = true; }
  char pad() const { return pad_; }
  int klen() const { return def_.key_len; }
  uint32_t root() const { return root_; }
  void set_root(uint32_t r);
  TagDef& mutable_spec() { return def_; }
  FileImpl* file() const { return file_; }
  void mark_header_dirty() { header_dirty_ = true; }
  bool header_dirty() const { return header_dirty_; }
  void clear_header_dirty() { header_dirty_ = false; }
  Status CheckUsable() const;

  Status Corrupt(uint32_t page, const std::string& what) const;
  Status Load(uint32_t off, NodeRef* out);
  // Lower bound of `t` in storage order (first entry not less than `t`).
  Status Find(const Target& t, Pos* pos, std::vector<std::pair<NodeRef, int>>* path = nullptr);
  Status Edge(bool last, Pos* pos);  // before the first / after the last entry
  // Moves a position one entry on (forward or back); `*valid` false at the ends.
  Status Forward(Pos* pos, bool* valid);
  Status Back(Pos* pos, bool* valid);
  Status Normalize(Pos* pos, bool* valid);  // idx == n moves to the next leaf
  // Loads the leaf a walk steps to; when it was not cached, the next few
  // leaves the same way are read too while the lock is held.
  Status LoadSibling(uint32_t off, bool forward, NodeRef* out);
  // Every page of the tree (for freeing it).
  Status CollectPages(std::vector<uint32_t>* pages);

  // Unlocked bodies of the write operations (the caller holds the write lock).
  Status DoInsert(const std::string& key, uint32_t recno);
  Status DoRemove(const std::string& key, uint32_t recno);
  Status DoBuild(const std::vector<std::pair<std::string, uint32_t>>& entries);
  Status InitEmpty();  // a fresh empty root leaf

 private:
  int Compare(const Node& n, int i, const Target& t) const;
  int LowerBound(const Node& n, const Target& t) const;
  Status NewNode(uint16_t attr, NodeRef* out);
  Status ShiftToSibling(std::vector<std::pair<NodeRef, int>>& path, int level, bool* done);
  Status SplitUp(std::vector<std::pair<NodeRef, int>>& path, int level);
  void PropagateMax(std::vector<std::pair<NodeRef, int>>& path, int level);
  Status Unlink(Node* n);
  Status FixUnderflow(std::vector<std::pair<NodeRef, int>>& path, int level);
  bool Fits(const Node& n) const;
  bool Underfull(const Node& n) const;
  Status PadKey(const std::string& key, std::string* out) const;

  FileImpl* file_;
  uint32_t header_off_;
  std::array<uint8_t, kHeaderSize> header_{};
  TagDef def_;
  char pad_ = ' ';
  uint32_t root_ = kNoPage;
  bool header_dirty_ = false;
  bool dropped_ = false;
  // The descent of the change under way and the entry it looks for, kept
  // between changes for their room.
  std::vector<std::pair<NodeRef, int>> path_;
  Target target_;
};

class CursorImpl final : public CdxCursor {
 public:
  explicit CursorImpl(TagImpl* tag) : tag_(tag) {}
  Status First() override;
  Status Last() override;
  Status Next() override;
  Status Prev() override;
  Status Seek(const std::string& key, bool soft, bool last, bool* found) override;
  Status SeekEntry(const std::string& key, uint32_t recno) override;
  bool Valid() const override { return state_ == kOn; }
  uint32_t recno() const override { return rec_; }
  const std::string& key() const override { return key_; }
  uint32_t Upcoming(int ahead) const override;

 private:
  enum State { kBeforeFirst, kOn, kAfterLast };
  Status Step(bool logical_forward);
  Status StepStorage(bool forward, Pos* pos, bool* valid);
  Status DoSeek(const std::string& key, bool soft, bool last, bool* found);
  void SetOn(const Pos& p);
  void SetOff(State s);
  // Re-finds the current entry after the cache or the tree changed.
  Status Relocate(Pos* pos, bool* exact);

  TagImpl* tag_;
  Target target_;  // what the last seek looked for (its room is reused)
  State state_ = kBeforeFirst;
  Pos pos_;
  uint64_t gen_ = 0;
  std::string key_;
  uint32_t rec_ = 0;
};

class FileImpl final : public CdxFile {
 public:
  FileImpl(Env* env, std::unique_ptr<File> file, bool read_only);
  ~FileImpl() override;

  Status Load();  // reads the directory and tag headers (fresh cache)

  const std::string& path() const override { return file_->path(); }
  int tag_count() const override { return static_cast<int>(tags_.size()); }
  CdxTag* tag(int i) override;
  CdxTag* FindTag(const std::string& name) override;
  Result<CdxTag*> AddTag(const TagDef& tdef) override;
  Status DeleteTag(const std::string& name) override;
  Status LockWrite() override;
  Status UnlockWrite() override;
  Status Refresh() override;
  Status Flush() override;
  Status Sync() override;
  Status Verify(std::vector<std::string>* problems) override;
  void DropJournal() override;
  void BindTable(File* table, const std::string& name) override {
    table_ = table;
    table_name_ = name;
  }
  void AddTableWrite(uint64_t offset, std::string_view bytes, size_t saved) override;

  // --- used by tags and cursors ---
  bool read_only() const { return read_only_; }
  bool write_locked() const { return lock_depth_ > 0; }
  // A lock (shared or the write lock) is held: pages read now cost no lock
  // calls of their own.
  bool holds_lock() const { return lock_depth_ > 0 || shared_depth_ > 0; }
  uint64_t gen() const { return gen_; }
  void Touch() { ++gen_; }
  TagImpl* directory() { return dir_.get(); }
  Status ReadNode(TagImpl* tag, uint32_t off, NodeRef* out);
  // The cached page of `tag` at `off`, counted as a use, else null (not
  // cached, or another tag's: ReadNode says which). Valid until the next
  // page is read or added; a descent steps through it without taking a
  // reference.
  const NodeRef* CachedNode(const TagImpl* tag, uint32_t off) {
    const NodeRef* hit = cache_.Find(off);
    return hit && (*hit)->owner == tag ? hit : nullptr;
  }
  void AddNode(const NodeRef& n) { cache_.Put(n); }
  NodeRef FreshNode() { return cache_.NewNode(); }
  const Node* PeekNode(uint32_t off) const { return cache_.Peek(off); }
  void DropPagesOf(const TagImpl* tag);
  // Records that `n` changed: it is written at the next flush.
  void MarkDirty(const NodeRef& n);
  Result<uint32_t> AllocPage();
  Result<uint32_t> AllocHeader();
  void FreePage(uint32_t off);

  // Runs a read operation, restarting it when another process changed the
  // file under it.
  template <class F>
  Status Read(F&& op);
  // Runs a write operation under the write lock (taking it when not held).
  template <class F>
  Status Write(F&& op);

  static bool IsRestart(const Status& s);
  // Puts back the pages of a change whose writer died (cdx_journal.cc).
  Status RecoverIfInterrupted();

 private:
  Status LockShared();  // waits for a writer to finish (up to a few seconds)
  void UnlockShared();
  // Around each attempt of a read operation; `hold` takes the shared lock
  // (and catches up with the file) before the operation starts.
  Status BeginRead(bool hold);
  void EndRead();
  Status ReadCounter(uint32_t* free_head, uint32_t* version);
  void DropCache();
  // Everything the current change writes, dirty pages and headers, encoded;
  // the directory header carries `counter` in its change counter.
  Status CollectWrites(std::vector<PageWrite>* out, uint32_t counter);
  // Writes the current change through the rollback journal (cdx_journal.cc).
  Status Commit();
  std::string JournalPath() const;
  Status OpenJournal(bool create);
  Status WriteJournal(const std::vector<PageWrite>& writes, uint32_t marker);
  // Puts back what the journal for `counter` saved; with `dry_run`, only
  // tells (in *found) whether there is such a journal.
  Status RollBack(File* index, uint32_t counter, bool dry_run = false, bool* found = nullptr);
  // Rolls back through a read-write handle for a user that opened the index
  // read-only; refuses when the files cannot be written.
  Status RecoverReadOnly();
  Status LoadTags();
  Status DoDeleteTag(TagImpl* t);

  Env* env_;
  std::unique_ptr<File> file_;
  std::unique_ptr<File> journal_;  // opened on the first change
  LingeringLock lock_;             // the index lock byte of file_
  File* table_ = nullptr;          // the table written with the index (BindTable)
  std::string table_name_;
  struct TableWrite {
    uint64_t off;
    std::string bytes;
    size_t saved;  // leading bytes whose old contents the journal keeps
  };
  // For the next commit: the first `table_write_count_` entries (the others
  // keep their room for the commits to come).
  std::vector<TableWrite> table_writes_;
  size_t table_write_count_ = 0;
  // Kept from commit to commit so that a commit allocates nothing: the
  // encoded pages and headers, and the journal being written.
  std::vector<uint8_t> page_buf_;
  std::vector<PageWrite> commit_writes_;
  std::string journal_buf_;
  bool read_only_;
  // The file as the last commit (or the lock) left it: what a rollback
  // journal must be able to put back.
  uint32_t disk_free_ = 0;
  uint32_t disk_version_ = 0;
  uint64_t disk_end_ = 0;
  uint32_t checked_odd_ = 0;  // an odd counter found with nothing to roll back
  int lock_depth_ = 0;
  int shared_depth_ = 0;
  int read_depth_ = 0;       // read operations under way (nested)
  bool read_holds_ = false;  // the running read operation keeps a shared lock
  bool changed_ = false;    // pages written under the current write lock
  uint32_t version_ = 0;    // change counter the cache belongs to
  uint32_t free_head_ = 0;  // first free page (0 or kNoPage: none)
  uint64_t file_end_ = 0;   // where the next new page goes
  uint64_t gen_ = 1;        // bumped on every change of cached pages
  std::unique_ptr<TagImpl> dir_;
  std::vector<std::unique_ptr<TagImpl>> tags_;     // by header offset
  std::vector<std::unique_ptr<TagImpl>> dropped_;  // kept for dangling pointers
  PageCache cache_;
  std::vector<NodeRef> dirty_;
  std::map<uint32_t, uint32_t> freed_;  // free page -> next, unwritten
  std::set<uint32_t> header_pages_;     // pages holding tag headers
};

template <class F>
Status FileImpl::Read(F&& op) {
  for (int attempt = 0;; ++attempt) {
    Status s = BeginRead(attempt > 0);
    if (s.ok()) s = op();
    EndRead();
    if (!IsRestart(s)) return s;
    if (attempt >= 8) return Status::Busy(path() + ": index keeps changing under the reader");
  }
}

template <class F>
Status FileImpl::Write(F&& op) {
  if (read_only_) return Status::ReadOnly(path() + ": index opened read-only");
  bool own = lock_depth_ == 0;
  if (own) XB_RETURN_IF_ERROR(LockWrite());
  Status s = op();
  if (own) {
    Status u = UnlockWrite();
    if (s.ok()) s = u;
  }
  return s;
}

}  // namespace xb::cdx
