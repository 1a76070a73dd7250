// A second process that writes an index the way other xBase engines do: it
// waits for the index lock with a blocking request (F_OFD_SETLKW), bumps the
// change counter while holding it for a moment, lets go, does a little work
// of its own (its records) and asks again, until it is stopped. Readers
// beside it must never give up.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace qztest {

class BlockingIndexWriter {
 public:
  // Starts the writer on the .CDX at `path`; `hold_us` is how long it keeps
  // the lock for each change, `work_us` how long it works between changes.
  explicit BlockingIndexWriter(const std::string& path, int hold_us = 20, int work_us = 50) {
    pid_ = fork();
    if (pid_ != 0) return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    int fd = open(path.c_str(), O_RDWR);
    if (fd < 0) _exit(2);
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_whence = SEEK_SET;
    fl.l_start = 0x7FFFFFFE;
    fl.l_len = 1;
    struct timespec hold = {0, hold_us * 1000L}, work = {0, work_us * 1000L};
    for (;;) {
      fl.l_type = F_WRLCK;
      if (fcntl(fd, F_OFD_SETLKW, &fl) != 0) continue;
      uint8_t b[4];
      if (pread(fd, b, 4, 8) == 4) {
        uint32_t v = (uint32_t(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3]) + 1;
        uint8_t o[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
        if (pwrite(fd, o, 4, 8) != 4) _exit(3);
      }
      if (hold_us > 0) nanosleep(&hold, nullptr);
      fl.l_type = F_UNLCK;
      fcntl(fd, F_OFD_SETLK, &fl);
      if (work_us > 0) nanosleep(&work, nullptr);
    }
  }
  ~BlockingIndexWriter() { Stop(); }
  BlockingIndexWriter(const BlockingIndexWriter&) = delete;
  BlockingIndexWriter& operator=(const BlockingIndexWriter&) = delete;

  // True once the writer has committed at least once (it may take a while
  // to be scheduled on a busy machine); false after ten seconds without.
  bool WaitUntilWriting(const std::string& path) const {
    if (pid_ <= 0) return false;
    uint32_t at = Counter(path);
    for (int i = 0; i < 10000; ++i) {
      if (Counter(path) != at) return true;
      usleep(1000);
    }
    return false;
  }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int st = 0;
    waitpid(pid_, &st, 0);
    pid_ = -1;
  }

  // The change counter of the index at `path` (big-endian, offset 8).
  static uint32_t Counter(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    uint8_t b[4] = {0, 0, 0, 0};
    if (fd >= 0) {
      if (pread(fd, b, 4, 8) != 4) std::memset(b, 0, 4);
      close(fd);
    }
    return uint32_t(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace qztest
