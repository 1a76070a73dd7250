// POSIX implementation of Env with open-file-description locks.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <mutex>
#include <thread>

#include "xbase/env.h"
#include "xbase/env_residency.h"

namespace xb {
namespace {

// A mapped page whose file was cut short behind our back (another program
// overwrote the table while it was open) raises SIGBUS on access. Copies from
// and to the mapping mark themselves; the handler then puts a blank page where
// the vanished one was, so the copy finishes, and the copy reports the loss
// as an error instead of the program ending. Marking costs two thread-local
// stores per copy, nothing like a saved context per access.
thread_local volatile sig_atomic_t t_in_copy = 0;
thread_local volatile sig_atomic_t t_copy_faulted = 0;
struct sigaction g_previous_bus;

void OnBus(int sig, siginfo_t* info, void* ctx) {
  if (t_in_copy) {
    long page = sysconf(_SC_PAGESIZE);
    uintptr_t at = reinterpret_cast<uintptr_t>(info->si_addr) & ~static_cast<uintptr_t>(page - 1);
    void* m = mmap(reinterpret_cast<void*>(at), static_cast<size_t>(page), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (m != MAP_FAILED) {
      t_copy_faulted = 1;
      return;
    }
  }
  // Not one of ours: behave as if we had never been here.
  if (g_previous_bus.sa_flags & SA_SIGINFO) {
    if (g_previous_bus.sa_sigaction) return g_previous_bus.sa_sigaction(sig, info, ctx);
  } else if (g_previous_bus.sa_handler != SIG_DFL && g_previous_bus.sa_handler != SIG_IGN) {
    return g_previous_bus.sa_handler(sig);
  }
  signal(SIGBUS, SIG_DFL);
  raise(SIGBUS);
}

void InstallBusGuard() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_sigaction = OnBus;
    sa.sa_flags = SA_SIGINFO;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGBUS, &sa, &g_previous_bus);
  });
}

// memcpy that reports a vanished page instead of crashing.
bool GuardedCopy(void* dst, const void* src, size_t n) {
  t_copy_faulted = 0;
  t_in_copy = 1;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::memcpy(dst, src, n);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  t_in_copy = 0;
  return t_copy_faulted == 0;
}

// QZ_NO_MMAP=1 turns the mapping off (plain pread/pwrite everywhere), for
// shared folders whose file system does not keep mappings coherent between
// machines as it does the page cache behind reads, writes and locks.
bool MappingAllowed() {
  static const bool allowed = [] {
    const char* v = std::getenv("QZ_NO_MMAP");
    return !(v && *v && *v != '0');
  }();
  return allowed;
}

// Mapped pages the process touched count in its resident memory (they are
// the system's file cache, but ru_maxrss and the task manager count them).
// With a limit (QZ_MAP_RESIDENT_MB, or SetMappedResidency), each file admits
// 64 KB windows of its mapping while the process-wide total stays under it;
// reads and writes elsewhere go through pread/pwrite, which leave nothing
// resident. Windows are never given back while the mapping lives: unmapping
// and faulting pages in again costs far more than a read system call.
constexpr int kWindowShift = 16;  // the kernel maps 64 KB around a fault
constexpr uint64_t kWindow = uint64_t{1} << kWindowShift;

std::atomic<uint64_t>& ResidencyLimit() {
  static std::atomic<uint64_t> limit{[] {
    const char* v = std::getenv("QZ_MAP_RESIDENT_MB");
    long mb = v && *v ? std::atol(v) : 0;
    return mb > 0 ? static_cast<uint64_t>(mb) << 20 : uint64_t{0};
  }()};
  return limit;
}
std::atomic<uint64_t> g_admitted{0};  // bytes of windows admitted, all files

Status ErrnoStatus(const std::string& what, const std::string& path, int err) {
  std::string m = path + ": " + what + ": " + std::strerror(err);
  if (err == ENOENT) return Status::NotFound(m);
  if (err == EEXIST) return Status::Exists(m);
  if (err == EACCES || err == EROFS) return Status::ReadOnly(m);
  return Status::IOError(m);
}

// Reads and writes inside the file's current size go through a shared memory
// mapping: on Linux it is the same page cache that pread/pwrite use, so other
// processes see every byte at once, and the many small page and record
// accesses of a busy table cost no system call. Anything past the mapped size
// (the file grew, or is being extended) goes through pread/pwrite. Files
// shrink only under exclusive use, through Truncate, which remaps.
class PosixFile final : public File {
 public:
  PosixFile(std::string path, int fd, bool writable)
      : File(std::move(path)), fd_(fd), writable_(writable) {}
  ~PosixFile() override {
    Unmap();
    ::close(fd_);
  }

  Status ReadAt(uint64_t offset, void* buf, size_t n, size_t* got) override {
    Via via = CopyMapped(offset, buf, n, false);
    if (via == Via::kOutside && n > 0 && Remap(offset + n)) via = CopyMapped(offset, buf, n, false);
    if (via == Via::kShrunk) return Shrunk();
    if (via == Via::kDone) {
      *got = n;
      return Status::OK();
    }
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

  void Prefetch(uint64_t offset, size_t n) override {
    CopyScope g(this);
    if (!map_ || n == 0 || offset + n > map_len_) return;
    if (limited_ && !Admitted(offset, n)) return;  // read with pread: nothing to warm
    // Every cache line of the range (a record spans two or three, an index
    // page eight), the last one included.
    const char* p = map_ + offset;
    const char* last = p + n - 1;
    for (; p < last; p += 64) __builtin_prefetch(p);
    __builtin_prefetch(last);
  }

  Status WriteAt(uint64_t offset, const void* buf, size_t n) override {
    Via via = CopyMapped(offset, const_cast<void*>(buf), n, true);
    if (via == Via::kShrunk) return Shrunk();
    if (via == Via::kDone) return Status::OK();
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
    // The file is now at least this long: when the reserved part of the
    // mapping covers it, the bytes just written (a record appended at the
    // end) are read and rewritten through the mapping from now on.
    {
      MappingChange g(this);
      if (map_ && offset + n > map_len_ && offset + n <= map_cap_) map_len_ = offset + n;
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
    MappingChange g(this);
    UnmapLocked();
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
      return ErrnoStatus("truncate", path(), errno);
    return Status::OK();
  }

  Status Lock(uint64_t offset, uint64_t len, bool exclusive) override {
    return DoLock(exclusive ? F_WRLCK : F_RDLCK, offset, len);
  }
  Status Unlock(uint64_t offset, uint64_t len) override { return DoLock(F_UNLCK, offset, len); }

 private:
  enum class Via { kDone, kShrunk, kOutside, kOverBudget };
  // Copies through the mapping when it covers the range and the range's
  // windows may be resident; kShrunk when the file was cut under us.
  // Inlined: it runs for every record and page access.
  [[gnu::always_inline]] Via CopyMapped(uint64_t offset, void* buf, size_t n, bool write) {
    CopyScope g(this);
    if (!map_ || (write && !writable_) || offset + n > map_len_) return Via::kOutside;
    if (limited_ && !Admit(offset, n)) return Via::kOverBudget;
    bool copied = write ? GuardedCopy(map_ + offset, buf, n) : GuardedCopy(buf, map_ + offset, n);
    return copied ? Via::kDone : Via::kShrunk;
  }
  // Windows of the mapping (64 KB of address space, aligned as the kernel
  // aligns the pages it maps around a fault) that bytes [offset, offset+n)
  // fall in. Callers are inside a CopyScope or a MappingChange.
  size_t WindowOf(uint64_t offset) const {
    return ((reinterpret_cast<uintptr_t>(map_) + offset) >> kWindowShift) -
           (reinterpret_cast<uintptr_t>(map_) >> kWindowShift);
  }
  bool Admitted(uint64_t offset, size_t n) const {
    if (n == 0) return true;
    for (size_t w = WindowOf(offset), last = WindowOf(offset + n - 1); w <= last; ++w) {
      if (!windows_[w].load(std::memory_order_relaxed)) return false;
    }
    return true;
  }
  // Admits the windows of the range while the process stays under its limit.
  // The first window (the header: record count, change counter, read at
  // every step of a walk) is always admitted, so a file's own header never
  // costs a system call.
  bool Admit(uint64_t offset, size_t n) {
    if (n == 0) return true;
    for (size_t w = WindowOf(offset), last = WindowOf(offset + n - 1); w <= last; ++w) {
      if (windows_[w].load(std::memory_order_relaxed)) continue;
      const uint64_t limit = ResidencyLimit().load(std::memory_order_relaxed);
      if (g_admitted.fetch_add(kWindow) + kWindow > limit && limit != 0 && w != 0) {
        g_admitted.fetch_sub(kWindow);
        return false;
      }
      uint8_t expected = 0;
      if (!windows_[w].compare_exchange_strong(expected, 1)) g_admitted.fetch_sub(kWindow);
    }
    return true;
  }

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
  // Maps the whole file when it now covers `need` bytes; false when it does not
  // (or the mapping failed: the caller then uses plain reads and writes).
  // The file is shorter than our mapping says: someone cut it while we had
  // it open. The mapping is dropped so the next access sees the real size.
  Status Shrunk() {
    {
      MappingChange g(this);
      UnmapLocked();
    }
    return Status::IOError(path() + ": the file was cut short by another program while open");
  }

  bool Remap(uint64_t need) {
    if (!MappingAllowed()) return false;
    InstallBusGuard();
    struct stat st;
    if (::fstat(fd_, &st) != 0) return false;
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (size < need || size < kMinMapSize) return false;
    MappingChange g(this);
    if (map_ && size <= map_cap_) {
      // The file grew inside the reserved part of the mapping: those pages
      // are backed by the file now, so they only need to be counted in.
      if (size > map_len_) map_len_ = size;
      return true;
    }
    UnmapLocked();
    // Reserve room to grow, so that a table being appended to is not
    // remapped for every new record. Pages past the end of the file are
    // never touched (accesses stop at map_len_).
    uint64_t cap = size + size / 2 + (1u << 20);
    void* m = ::mmap(nullptr, cap, PROT_READ | (writable_ ? PROT_WRITE : 0), MAP_SHARED, fd_, 0);
    if (m == MAP_FAILED) return false;
    map_ = static_cast<char*>(m);
    map_len_ = size;
    map_cap_ = cap;
    limited_ = ResidencyLimit().load() != 0;
    if (limited_) {
      window_count_ = WindowOf(cap - 1) + 1;
      windows_.reset(new std::atomic<uint8_t>[window_count_]);
      for (size_t w = 0; w < window_count_; ++w) windows_[w].store(0, std::memory_order_relaxed);
    }
    return true;
  }
  void UnmapLocked() {
    if (map_) ::munmap(map_, map_cap_);
    if (limited_) {
      // The pages went with the mapping: their windows are free again.
      uint64_t admitted = 0;
      for (size_t w = 0; w < window_count_; ++w) admitted += windows_[w].load() ? kWindow : 0;
      g_admitted.fetch_sub(admitted);
      windows_.reset();
      window_count_ = 0;
      limited_ = false;
    }
    map_ = nullptr;
    map_len_ = map_cap_ = 0;
  }
  void Unmap() {
    MappingChange g(this);
    UnmapLocked();
  }

  static constexpr uint64_t kMinMapSize = 4096;
  int fd_;
  bool writable_;
  // Copies through the mapping run inside a CopyScope; whatever changes the
  // mapping (remap, unmap, the size it covers) runs inside a MappingChange,
  // which waits until no copy is under way and holds new ones off until it
  // is done. A copy costs two atomic additions: the reader-writer mutex this
  // replaces cost several times that on every record and page access, a
  // twentieth of a record change. Changes are rare (a file that grew past
  // its reserved room, a truncation) and never happen inside a copy.
  std::atomic<int> copying_{0};
  std::atomic<bool> changing_{false};
  std::mutex change_mu_;  // one change at a time
  struct CopyScope {
    explicit CopyScope(PosixFile* f) : f(f) {
      for (;;) {
        // Announce the copy, then look for a change (a change announces
        // itself, then looks for copies: one of the two sees the other).
        f->copying_.fetch_add(1, std::memory_order_seq_cst);
        if (!f->changing_.load(std::memory_order_seq_cst)) return;
        f->copying_.fetch_sub(1, std::memory_order_seq_cst);
        while (f->changing_.load(std::memory_order_acquire)) std::this_thread::yield();
      }
    }
    ~CopyScope() { f->copying_.fetch_sub(1, std::memory_order_release); }
    CopyScope(const CopyScope&) = delete;
    CopyScope& operator=(const CopyScope&) = delete;
    PosixFile* f;
  };
  struct MappingChange {
    explicit MappingChange(PosixFile* f) : f(f), g(f->change_mu_) {
      f->changing_.store(true, std::memory_order_seq_cst);
      while (f->copying_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    }
    ~MappingChange() { f->changing_.store(false, std::memory_order_release); }
    MappingChange(const MappingChange&) = delete;
    MappingChange& operator=(const MappingChange&) = delete;
    PosixFile* f;
    std::lock_guard<std::mutex> g;
  };
  char* map_ = nullptr;
  uint64_t map_len_ = 0;  // bytes of the file known to exist (accessible)
  uint64_t map_cap_ = 0;  // length of the mapping
  // Under a residency limit: which windows of the mapping may be touched.
  bool limited_ = false;
  std::unique_ptr<std::atomic<uint8_t>[]> windows_;
  size_t window_count_ = 0;
};

class PosixEnv final : public Env {
 public:
  Result<std::unique_ptr<File>> Open(const std::string& path, OpenMode mode) override {
    int flags = (mode == OpenMode::kReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    int fd = ::open(path.c_str(), flags);
    if (fd < 0) return ErrnoStatus("open", path, errno);
    return std::unique_ptr<File>(new PosixFile(path, fd, mode == OpenMode::kReadWrite));
  }
  Result<std::unique_ptr<File>> Create(const std::string& path, bool truncate) override {
    int flags = O_RDWR | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : O_EXCL);
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return ErrnoStatus("create", path, errno);
    return std::unique_ptr<File>(new PosixFile(path, fd, true));
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

void SetMappedResidency(uint64_t bytes) { ResidencyLimit().store(bytes); }
uint64_t MappedResidentBytes() { return g_admitted.load(); }

Env* Env::Default() {
  static PosixEnv env;
  return &env;
}

}  // namespace xb
