// FPT memo files (FoxPro): a 512-byte header (next free block and block size,
// big-endian) followed by blocks; each memo starts on a block with an 8-byte
// header (type, length; big-endian) and its bytes. New values go to the end of
// the file unless they fit where the old value was; freed space is not
// reused, which keeps the file valid for every other engine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "xbase/env.h"

namespace xb {

class MemoFile {
 public:
  static Result<std::unique_ptr<MemoFile>> Open(Env* env, const std::string& path, OpenMode mode);
  static Result<std::unique_ptr<MemoFile>> Create(Env* env, const std::string& path,
                                                  uint32_t block_size = 64);

  const std::string& path() const { return file_->path(); }
  uint32_t block_size() const { return block_size_; }

  // Reads the memo starting at `block` (0 = empty memo).
  Result<std::string> Read(uint32_t block);
  // Stores `data`, in place when it fits the blocks of `old_block`, else at
  // the end. Returns the block to keep in the record (0 for empty data).
  Result<uint32_t> Write(uint32_t old_block, const std::string& data);
  // Starts an empty file over (used by zap).
  Status Reset();
  Status Sync() { return file_->Sync(); }

 private:
  MemoFile(std::unique_ptr<File> f, uint32_t bs) : file_(std::move(f)), block_size_(bs) {}
  Status LockHeader();
  void UnlockHeader();
  Result<uint32_t> ReadNextFree();
  // Blocks a memo of `n` data bytes occupies.
  uint32_t BlocksFor(uint64_t n) const;

  std::unique_ptr<File> file_;
  uint32_t block_size_;
};

}  // namespace xb
