// Exclusive maintenance of a Table: pack (drop deleted records, rewrite the
// memos compactly, rebuild the index) and zap (empty the table).
#include <cstring>

#include "xbase/dbf_header.h"
#include "xbase/field_codec.h"
#include "xbase/fpt.h"
#include "xbase/table.h"
#include "xbase/table_index.h"

namespace xb {
namespace {

Status WriteCount(File* f, uint32_t n) {
  uint8_t b[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                  static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
  return f->WriteAt(4, b, 4);
}

}  // namespace

Status Table::Pack() {
  XB_RETURN_IF_ERROR(RequireWritable("pack"));
  if (!exclusive_) return Status::InvalidArgument(path_ + ": pack needs the table open exclusively");
  XB_RETURN_IF_ERROR(WriteBack());
  XB_RETURN_IF_ERROR(RefreshCount());

  // Memos of the surviving records go to a fresh file, one after the other.
  std::unique_ptr<MemoFile> new_memo;
  std::string memo_tmp;
  if (memo_) {
    memo_tmp = memo_->path() + ".pack";
    auto m = MemoFile::Create(env_, memo_tmp, memo_->block_size());
    if (!m.ok()) return m.status();
    new_memo = std::move(*m);
  }

  // Records move towards the start of the file in order, so reading ahead of
  // the write position is always safe. Chunked I/O keeps this fast.
  const uint32_t chunk = std::max<uint32_t>(1, (1u << 20) / record_len_);
  std::string in(static_cast<size_t>(chunk) * record_len_, '\0');
  std::string out;
  out.reserve(in.size());
  uint32_t kept = 0;
  Status s;
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
          if (!text.ok()) { s = text.status(); break; }
          auto nb = new_memo->Write(0, *text);
          if (!nb.ok()) { s = nb.status(); break; }
          EncodeMemoBlock(f, *nb, rec);
        }
      }
      out.append(rec, record_len_);
    }
    if (s.ok() && !out.empty()) s = file_->WriteAt(RecordOffset(kept + 1), out.data(), out.size());
    kept += static_cast<uint32_t>(out.size() / record_len_);
  }
  if (!s.ok()) {
    if (new_memo) {
      new_memo.reset();
      env_->Remove(memo_tmp);
    }
    return s.With(path_ + ": pack stopped; the table keeps its records");
  }
  if (new_memo) {
    XB_RETURN_IF_ERROR(new_memo->Sync());
    std::string memo_path = memo_->path();
    new_memo.reset();
    memo_.reset();
    XB_RETURN_IF_ERROR(env_->Rename(memo_tmp, memo_path));
    auto m = MemoFile::Open(env_, memo_path, OpenMode::kReadWrite);
    if (!m.ok()) return m.status();
    memo_ = std::move(*m);
  }
  const char eof_mark = 0x1A;
  XB_RETURN_IF_ERROR(file_->WriteAt(RecordOffset(kept + 1), &eof_mark, 1));
  XB_RETURN_IF_ERROR(WriteCount(file_.get(), kept));
  XB_RETURN_IF_ERROR(file_->Truncate(RecordOffset(kept + 1) + 1));
  count_ = kept;
  XB_RETURN_IF_ERROR(WriteHeaderDate());
  if (index_) XB_RETURN_IF_ERROR(index_->Rebuild());
  XB_RETURN_IF_ERROR(file_->Sync());
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
