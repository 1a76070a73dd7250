// Exclusive maintenance of a Table: pack (drop deleted records, rewrite the
// memos compactly, rebuild the index), reindex and zap.
//
// Pack and reindex never change the files in place: they build new files
// beside the old ones and swap them in at the end (file_swap.h), so a process
// killed at any moment leaves the old table or the new one.
#include <cstring>

#include "xbase/dbf_header.h"
#include "xbase/field_codec.h"
#include "xbase/file_swap.h"
#include "xbase/fpt.h"
#include "xbase/lingering_lock.h"
#include "xbase/table.h"
#include "xbase/table_index.h"
#include "xbase/table_locks.h"

namespace xb {
namespace {

void PutCount(uint8_t* p, uint32_t n) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(n >> (8 * i));
}

Status WriteCount(File* f, uint32_t n) {
  uint8_t b[4];
  PutCount(b, n);
  return f->WriteAt(4, b, 4);
}

void RemoveQuietly(Env* env, const std::string& path) {
  if (env->Exists(path)) (void)env->Remove(path);
}

}  // namespace

Status Table::Pack() {
  XB_RETURN_IF_ERROR(RequireWritable("pack"));
  if (!exclusive_) return Status::InvalidArgument(path_ + ": pack needs the table open exclusively");
  XB_RETURN_IF_ERROR(WriteBack());
  XB_RETURN_IF_ERROR(RefreshCount());

  const std::string dbf_new = SwapTemp(path_);
  const std::string memo_path = memo_ ? memo_->path() : "";
  const std::string index_path = index_ ? index_->path() : "";
  auto cleanup = [&] {
    RemoveQuietly(env_, dbf_new);
    if (memo_) RemoveBuildFiles(env_, memo_path);
    if (index_) RemoveBuildFiles(env_, index_path);
  };
  auto nf = env_->Create(dbf_new, true);
  if (!nf.ok()) return nf.status();
  std::unique_ptr<File> out_file = std::move(*nf);
  std::unique_ptr<MemoFile> new_memo;
  if (memo_) {
    auto m = MemoFile::Create(env_, SwapTemp(memo_path), memo_->block_size());
    if (!m.ok()) {
      cleanup();
      return m.status();
    }
    new_memo = std::move(*m);
  }

  // The surviving records, with their memos copied one after the other.
  std::string header(header_len_, '\0');
  Status s = file_->ReadExact(0, header.data(), header.size());
  const uint32_t chunk = std::max<uint32_t>(1, (1u << 20) / record_len_);
  std::string in(static_cast<size_t>(chunk) * record_len_, '\0');
  std::string out;
  out.reserve(in.size());
  uint32_t kept = 0;
  for (uint32_t first = 1; first <= count_ && s.ok(); first += chunk) {
    uint32_t n = std::min(chunk, count_ - first + 1);
    s = file_->ReadExact(RecordOffset(first), in.data(), static_cast<size_t>(n) * record_len_);
    if (!s.ok()) break;
    out.clear();
    for (uint32_t i = 0; i < n && s.ok(); ++i) {
      char* rec = in.data() + static_cast<size_t>(i) * record_len_;
      if (rec[0] == '*') continue;
      if (new_memo) {
        for (const auto& f : fields_) {
          if (!IsMemoType(f.type)) continue;
          uint32_t block = DecodeMemoBlock(f, rec);
          if (block == 0) continue;
          auto text = memo_->Read(block);
          if (!text.ok()) {
            s = text.status().With("record " + std::to_string(first + i) + " field " + f.name);
            break;
          }
          auto nb = new_memo->Write(0, *text);
          if (!nb.ok()) { s = nb.status(); break; }
          EncodeMemoBlock(f, *nb, rec);
        }
      }
      out.append(rec, record_len_);
    }
    if (s.ok() && !out.empty())
      s = out_file->WriteAt(RecordOffset(kept + 1), out.data(), out.size());
    kept += static_cast<uint32_t>(out.size() / record_len_);
  }
  if (s.ok()) {
    PutCount(reinterpret_cast<uint8_t*>(header.data()) + 4, kept);
    s = out_file->WriteAt(0, header.data(), header_len_);
  }
  if (s.ok()) {
    const char eof_mark = 0x1A;
    s = out_file->WriteAt(RecordOffset(kept + 1), &eof_mark, 1);
  }
  if (s.ok() && index_) s = IndexSet::BuildFile(this, SwapTemp(index_path), index_->Defs(),
                                                out_file.get(), kept);
  if (s.ok() && new_memo) s = new_memo->Sync();
  if (s.ok()) s = out_file->Sync();
  // The new table is ours before anyone can open it under the final name.
  if (s.ok()) s = out_file->Lock(kShareLockOffset, 1, true);
  if (!s.ok()) {
    new_memo.reset();
    out_file.reset();
    cleanup();
    return s.With(path_ + ": pack stopped; the table keeps its records");
  }
  new_memo.reset();
  std::vector<std::string> finals;
  if (memo_) finals.push_back(memo_path);
  if (index_) finals.push_back(index_path);
  finals.push_back(path_);  // last: whoever opens the new DBF finds its memo and index in place
  s = CommitSwap(env_, path_, finals);
  if (!s.ok()) return s.With(path_ + ": pack stopped while swapping files; reopen the table to finish it");

  // Someone who opened the table just before the swap and locks it once we
  // let go must not take the old file for the table.
  (void)MarkReplaced(file_.get());

  // Carry on with the new files.
  std::string order = Order();
  index_.reset();
  memo_.reset();
  out_file->set_path(path_);
  UnlockAll();
  UnbindLocks();
  file_ = std::move(out_file);
  BindHeaderLock();
  count_ = kept;
  header_dated_ = false;
  XB_RETURN_IF_ERROR(WriteHeaderDate());
  if (!memo_path.empty()) {
    auto m = MemoFile::Open(env_, memo_path, OpenMode::kReadWrite);
    if (!m.ok()) return m.status();
    memo_ = std::move(*m);
  }
  if (!index_path.empty()) {
    XB_RETURN_IF_ERROR(OpenIndex(true));
    if (!order.empty()) XB_RETURN_IF_ERROR(SetOrder(order));
  }
  return GoTop();
}

Status Table::Reindex(const std::vector<TagInfo>& fallback) {
  XB_RETURN_IF_ERROR(RequireWritable("reindex"));
  if (!exclusive_ && !file_locked_)
    return Status::InvalidArgument(path_ + ": reindex needs the table exclusive or locked");
  XB_RETURN_IF_ERROR(WriteBack());
  XB_RETURN_IF_ERROR(RefreshCount());
  if (!exclusive_) {
    // Others have the index open: it can only be rebuilt in place.
    if (!index_) return Status::OK();
    XB_RETURN_IF_ERROR(index_->Rebuild());
    return GoTop();
  }
  // The tags as the old index lists them when its directory can be read,
  // else as the caller knows them (the table catalog).
  std::vector<TagDef> defs;
  std::string index_path;
  bool readable = false;
  if (index_) {
    defs = index_->Defs();
    index_path = index_->path();
    readable = true;
  } else {
    auto ip = env_->Resolve(ReplaceExtension(path_, ".CDX"));
    index_path = ip.ok() ? *ip : ReplaceExtension(path_, ".CDX");
    if (ip.ok()) {
      auto old = CdxFile::Open(env_, *ip, OpenMode::kReadOnly);
      if (old.ok()) {
        readable = true;
        for (int i = 0; i < (*old)->tag_count(); ++i) defs.push_back((*old)->tag(i)->def());
      }
    }
  }
  if (!readable) {
    for (const auto& g : fallback) {
      TagDef d;
      d.name = g.name;
      d.key_expr = g.key;
      d.for_expr = g.for_expr;
      d.descending = g.descending;
      defs.push_back(d);
    }
    if (defs.empty()) {
      if (env_->Exists(index_path))
        return Status::Corrupt(index_path + ": tag directory unreadable and no tag definitions "
                               "known for " + name_ + "; the index cannot be rebuilt");
      return Status::OK();  // a table without an index
    }
  }
  std::string order = Order();
  Status s = IndexSet::BuildFile(this, SwapTemp(index_path), defs, file_.get(), count_);
  if (!s.ok()) {
    RemoveBuildFiles(env_, index_path);
    return s.With(path_ + ": reindex stopped; the old index is unchanged");
  }
  index_.reset();
  XB_RETURN_IF_ERROR(CommitSwap(env_, path_, {index_path}));
  if (!(header_flags_ & kHeaderFlagStructuralIndex)) {
    header_flags_ |= kHeaderFlagStructuralIndex;
    XB_RETURN_IF_ERROR(file_->WriteAt(28, &header_flags_, 1));
  }
  XB_RETURN_IF_ERROR(OpenIndex(true));
  if (!order.empty()) (void)SetOrder(order);
  return GoTop();
}

Status Table::Zap() {
  XB_RETURN_IF_ERROR(RequireWritable("zap"));
  if (!exclusive_) return Status::InvalidArgument(path_ + ": zap needs the table open exclusively");
  dirty_ = false;
  const char eof_mark = 0x1A;
  XB_RETURN_IF_ERROR(file_->Truncate(header_len_));
  XB_RETURN_IF_ERROR(file_->WriteAt(header_len_, &eof_mark, 1));
  XB_RETURN_IF_ERROR(WriteCount(file_.get(), 0));
  count_ = 0;
  XB_RETURN_IF_ERROR(WriteHeaderDate());
  if (memo_) XB_RETURN_IF_ERROR(memo_->Reset());
  if (index_) XB_RETURN_IF_ERROR(index_->Reset());
  XB_RETURN_IF_ERROR(file_->Sync());
  return GoTop();
}

}  // namespace xb
