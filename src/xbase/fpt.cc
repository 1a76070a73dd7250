#include "xbase/fpt.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace xb {
namespace {

constexpr uint64_t kHeaderLockOffset = 0x7FFFFFFE;
constexpr uint32_t kHeaderSize = 512;

uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
void PutBe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

}  // namespace

Result<std::unique_ptr<MemoFile>> MemoFile::Open(Env* env, const std::string& path,
                                                 OpenMode mode) {
  auto f = env->Open(path, mode);
  if (!f.ok()) return f.status();
  uint8_t h[8];
  uint64_t size = 0;
  XB_RETURN_IF_ERROR((*f)->Size(&size));
  if (size < kHeaderSize) return Status::Corrupt(path + ": memo file shorter than its header");
  XB_RETURN_IF_ERROR((*f)->ReadExact(0, h, 8));
  uint32_t bs = (h[6] << 8) | h[7];
  if (bs == 0) bs = 1;  // FoxPro allows single-byte blocks only in theory; keep arithmetic safe
  if (bs < 32 && bs != 1)
    return Status::Corrupt(path + ": memo block size " + std::to_string(bs) + " is not valid");
  return std::unique_ptr<MemoFile>(new MemoFile(std::move(*f), bs));
}

Result<std::unique_ptr<MemoFile>> MemoFile::Create(Env* env, const std::string& path,
                                                   uint32_t block_size) {
  if (block_size < 32 || block_size > 65535)
    return Status::InvalidArgument(path + ": memo block size must be 32..65535");
  auto f = env->Create(path, true);
  if (!f.ok()) return f.status();
  std::unique_ptr<MemoFile> m(new MemoFile(std::move(*f), block_size));
  XB_RETURN_IF_ERROR(m->Reset());
  return m;
}

Status MemoFile::Reset() {
  uint8_t h[kHeaderSize];
  std::memset(h, 0, sizeof h);
  uint32_t first = (kHeaderSize + block_size_ - 1) / block_size_;
  PutBe32(h, first);
  h[6] = static_cast<uint8_t>(block_size_ >> 8);
  h[7] = static_cast<uint8_t>(block_size_);
  XB_RETURN_IF_ERROR(file_->Truncate(0));
  XB_RETURN_IF_ERROR(file_->WriteAt(0, h, sizeof h));
  uint64_t end = static_cast<uint64_t>(first) * block_size_;
  if (end > kHeaderSize) XB_RETURN_IF_ERROR(file_->Truncate(end));
  return Status::OK();
}

uint32_t MemoFile::BlocksFor(uint64_t n) const {
  return static_cast<uint32_t>((n + 8 + block_size_ - 1) / block_size_);
}

Result<std::string> MemoFile::Read(uint32_t block) {
  if (block == 0) return std::string();
  uint64_t size = 0;
  XB_RETURN_IF_ERROR(file_->Size(&size));
  uint64_t off = static_cast<uint64_t>(block) * block_size_;
  if (off < kHeaderSize || off + 8 > size)
    return Status::Corrupt(path() + ": memo block " + std::to_string(block) +
                           " lies outside the file");
  uint8_t h[8];
  XB_RETURN_IF_ERROR(file_->ReadExact(off, h, 8));
  uint32_t len = Be32(h + 4);
  if (off + 8 + len > size)
    return Status::Corrupt(path() + ": memo at block " + std::to_string(block) + " says " +
                           std::to_string(len) + " bytes but the file ends first");
  std::string out(len, '\0');
  if (len) XB_RETURN_IF_ERROR(file_->ReadExact(off + 8, out.data(), len));
  return out;
}

Status MemoFile::LockHeader() {
  // The allocation lock is held for a few microseconds; waiting briefly here
  // is kinder than bouncing the whole write back to the caller.
  for (int i = 0; i < 2000; ++i) {
    Status s = file_->Lock(kHeaderLockOffset, 1, true);
    if (!s.IsBusy()) return s;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  return Status::Busy(path() + ": memo file header locked by another user");
}

void MemoFile::UnlockHeader() { file_->Unlock(kHeaderLockOffset, 1); }

Result<uint32_t> MemoFile::ReadNextFree() {
  uint8_t h[4];
  XB_RETURN_IF_ERROR(file_->ReadExact(0, h, 4));
  return Be32(h);
}

Result<uint32_t> MemoFile::Write(uint32_t old_block, const std::string& data) {
  if (data.empty()) return 0u;
  std::string buf(8 + data.size(), '\0');
  auto* p = reinterpret_cast<uint8_t*>(buf.data());
  PutBe32(p, 1);  // text memo
  PutBe32(p + 4, static_cast<uint32_t>(data.size()));
  std::memcpy(p + 8, data.data(), data.size());
  // Pad to a whole block so the next allocation starts on a clean boundary.
  buf.resize(static_cast<size_t>(BlocksFor(data.size())) * block_size_, '\0');

  if (old_block != 0) {
    uint64_t size = 0;
    XB_RETURN_IF_ERROR(file_->Size(&size));
    uint64_t off = static_cast<uint64_t>(old_block) * block_size_;
    if (off >= kHeaderSize && off + 8 <= size) {
      uint8_t h[8];
      XB_RETURN_IF_ERROR(file_->ReadExact(off, h, 8));
      // Only a length that lies inside the file tells which blocks the old
      // value owns; a damaged one would let us overwrite the memos after it.
      uint32_t old_len = Be32(h + 4);
      if (off + 8 + old_len <= size && BlocksFor(old_len) >= BlocksFor(data.size())) {
        XB_RETURN_IF_ERROR(file_->WriteAt(off, buf.data(), 8 + data.size()));
        return old_block;
      }
    }
  }

  XB_RETURN_IF_ERROR(LockHeader());
  auto next = ReadNextFree();
  if (!next.ok()) {
    UnlockHeader();
    return next.status();
  }
  uint32_t block = *next;
  uint64_t size = 0;
  Status s = file_->Size(&size);
  // A next-free pointer inside the header or behind the end of the data would
  // make us overwrite something; start at the end of the file instead.
  uint64_t first_free = static_cast<uint64_t>(block) * block_size_;
  if (s.ok() && (first_free < kHeaderSize || first_free > size + block_size_)) {
    block = static_cast<uint32_t>((size + block_size_ - 1) / block_size_);
  }
  uint64_t new_next = block + static_cast<uint64_t>(BlocksFor(data.size()));
  if (s.ok() && new_next > 0xFFFFFFFFull) s = Status::InvalidArgument(path() + ": memo file full");
  if (s.ok()) s = file_->WriteAt(static_cast<uint64_t>(block) * block_size_, buf.data(), buf.size());
  if (s.ok()) {
    uint8_t h[4];
    PutBe32(h, static_cast<uint32_t>(new_next));
    s = file_->WriteAt(0, h, 4);
  }
  UnlockHeader();
  if (!s.ok()) return s;
  return block;
}

}  // namespace xb
