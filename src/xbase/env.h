// The one interface through which the engine touches the operating system:
// opening files, positional reads and writes, byte-range locks, syncing,
// sizes and directory listings. Tests wrap it to inject faults (short writes,
// I/O errors, refused locks).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/status.h"

namespace xb {

enum class OpenMode { kReadOnly, kReadWrite };

// An open file. Locks are per open file (open-file-description locks), so two
// handles of one file in one process exclude each other like two users, and
// closing one never drops the other's locks.
class File {
 public:
  virtual ~File() = default;
  const std::string& path() const { return path_; }
  // The name the file goes by after Env::Rename moved it (messages use it).
  void set_path(std::string path) { path_ = std::move(path); }

  // Reads up to `n` bytes at `offset`; `*got` < n only at end of file.
  virtual Status ReadAt(uint64_t offset, void* buf, size_t n, size_t* got) = 0;
  // Writes all `n` bytes at `offset` (a short write is an error).
  virtual Status WriteAt(uint64_t offset, const void* buf, size_t n) = 0;
  virtual Status Sync() = 0;
  virtual Status Size(uint64_t* size) = 0;
  virtual Status Truncate(uint64_t size) = 0;
  // Byte-range lock. Never waits: a range held by someone else gives kBusy.
  virtual Status Lock(uint64_t offset, uint64_t len, bool exclusive) = 0;
  virtual Status Unlock(uint64_t offset, uint64_t len) = 0;

  // Reads exactly n bytes or fails with kCorrupt naming what was short.
  Status ReadExact(uint64_t offset, void* buf, size_t n);
  // A hint that bytes [offset, offset + n) will be read soon: a walk in key
  // order reads records at scattered places, and asking for the next ones
  // early hides the memory latency. Never fails, may do nothing.
  virtual void Prefetch(uint64_t offset, size_t n) {
    (void)offset;
    (void)n;
  }

 protected:
  explicit File(std::string path) : path_(std::move(path)) {}

 private:
  std::string path_;
};

struct FileInfo {
  uint64_t size = 0;
  int64_t mtime_ns = 0;  // modification time, nanoseconds since the epoch
};

class Env {
 public:
  virtual ~Env() = default;
  // The process-wide environment backed by POSIX.
  static Env* Default();

  virtual Result<std::unique_ptr<File>> Open(const std::string& path, OpenMode mode) = 0;
  // Creates (or, when `truncate`, empties) a file for reading and writing.
  virtual Result<std::unique_ptr<File>> Create(const std::string& path, bool truncate) = 0;
  virtual Status Remove(const std::string& path) = 0;
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  virtual Status Stat(const std::string& path, FileInfo* info) = 0;
  virtual Status ListDir(const std::string& dir, std::vector<std::string>* names) = 0;
  virtual Status MakeDir(const std::string& dir) = 0;
  virtual bool Exists(const std::string& path);

  // Finds `path` ignoring the case of its last component: installations copied
  // from Windows have EMPLE.dbf where the program asks for EMPLE.DBF. Returns
  // the path as it exists on disk, or NotFound.
  Result<std::string> Resolve(const std::string& path);
};

// Small path helpers shared by the engine.
std::string DirName(const std::string& path);
std::string BaseName(const std::string& path);
std::string ReplaceExtension(const std::string& path, const std::string& ext);
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace xb
