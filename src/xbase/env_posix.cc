// POSIX implementation of Env with open-file-description locks.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "xbase/env.h"

namespace xb {
namespace {

Status ErrnoStatus(const std::string& what, const std::string& path, int err) {
  std::string m = path + ": " + what + ": " + std::strerror(err);
  if (err == ENOENT) return Status::NotFound(m);
  if (err == EEXIST) return Status::Exists(m);
  if (err == EACCES || err == EROFS) return Status::ReadOnly(m);
  return Status::IOError(m);
}

class PosixFile final : public File {
 public:
  PosixFile(std::string path, int fd) : File(std::move(path)), fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }

  Status ReadAt(uint64_t offset, void* buf, size_t n, size_t* got) override {
    size_t done = 0;
    auto* p = static_cast<char*>(buf);
    while (done < n) {
      ssize_t r = ::pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return ErrnoStatus("read", path(), errno);
      }
      if (r == 0) break;
      done += static_cast<size_t>(r);
    }
    *got = done;
    return Status::OK();
  }

  Status WriteAt(uint64_t offset, const void* buf, size_t n) override {
    size_t done = 0;
    auto* p = static_cast<const char*>(buf);
    while (done < n) {
      ssize_t r = ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return ErrnoStatus("write", path(), errno);
      }
      done += static_cast<size_t>(r);
    }
    return Status::OK();
  }

  Status Sync() override {
    if (::fdatasync(fd_) != 0) return ErrnoStatus("sync", path(), errno);
    return Status::OK();
  }

  Status Size(uint64_t* size) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return ErrnoStatus("stat", path(), errno);
    *size = static_cast<uint64_t>(st.st_size);
    return Status::OK();
  }

  Status Truncate(uint64_t size) override {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
      return ErrnoStatus("truncate", path(), errno);
    return Status::OK();
  }

  Status Lock(uint64_t offset, uint64_t len, bool exclusive) override {
    return DoLock(exclusive ? F_WRLCK : F_RDLCK, offset, len);
  }
  Status Unlock(uint64_t offset, uint64_t len) override { return DoLock(F_UNLCK, offset, len); }

 private:
  Status DoLock(short type, uint64_t offset, uint64_t len) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(len);
    for (;;) {
      if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0) return Status::OK();
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EACCES)
        return Status::Busy(path() + ": locked by another user");
      return ErrnoStatus("lock", path(), errno);
    }
  }
  int fd_;
};

class PosixEnv final : public Env {
 public:
  Result<std::unique_ptr<File>> Open(const std::string& path, OpenMode mode) override {
    int flags = (mode == OpenMode::kReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags);
    if (fd < 0) return ErrnoStatus("open", path, errno);
    return std::unique_ptr<File>(new PosixFile(path, fd));
  }
  Result<std::unique_ptr<File>> Create(const std::string& path, bool truncate) override {
    int flags = O_RDWR | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_EXCL);
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return ErrnoStatus("create", path, errno);
    return std::unique_ptr<File>(new PosixFile(path, fd));
  }
  Status Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) return ErrnoStatus("remove", path, errno);
    return Status::OK();
  }
  Status Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return ErrnoStatus("rename", from, errno);
    return Status::OK();
  }
  Status Stat(const std::string& path, FileInfo* info) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return ErrnoStatus("stat", path, errno);
    info->size = static_cast<uint64_t>(st.st_size);
    info->mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return Status::OK();
  }
  Status ListDir(const std::string& dir, std::vector<std::string>* names) override {
    names->clear();
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return ErrnoStatus("list", dir, errno);
    while (struct dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names->push_back(n);
    }
    ::closedir(d);
    return Status::OK();
  }
  Status MakeDir(const std::string& dir) override {
    if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) return ErrnoStatus("mkdir", dir, errno);
    return Status::OK();
  }
};

}  // namespace

Env* Env::Default() {
  static PosixEnv env;
  return &env;
}

}  // namespace xb
