// Another workstation in a forked child: the child starts the program's
// data layer for itself (its own tables, locks and journal), does its work
// and tells the parent through a pipe once it stands where the parent wants
// to kill it.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "lib/clock.h"
#include "lib/data/work_areas.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/message_box.h"

namespace qztest {

// In the forked child: a program start of its own on the installation in
// `root`; ends the child (status 90) when it cannot start.
inline void BecomeAnotherWorkstation(const std::string& root) {
  qz::SetClock(nullptr);
  qz::SetMessageBoxProvider(nullptr);
  qz::ResetGlobals();
  qz::ResetWorkAreas();
  qz::G().EXT_MODULO = "PCFG";
  if (qz::StartDataLayer(root) != qz::StartResult::kContinue) _exit(90);
}

// In the forked child: tells the parent through `report` and stays there,
// inside whatever it was doing, until it is killed.
[[noreturn]] inline void StopHereForGood(int report) {
  if (write(report, "x", 1) != 1) _exit(92);
  for (;;) pause();
}

// In the parent: waits for the child's word on `fds` (a pipe whose writing
// end the child kept), then kills it.
inline void KillWhenStopped(pid_t child, int fds[2]) {
  close(fds[1]);
  char byte;
  ASSERT_EQ(read(fds[0], &byte, 1), 1) << "the other workstation ended early";
  close(fds[0]);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

// Another workstation racing this one: a forked child started on `root`
// runs `work`, whose result is the child's exit status, and calls the
// `ready` it is given just before the step the test races against; Start
// returns once it has. Wait() gives the child's exit status (-1: killed).
class RacingWorkstation {
 public:
  using Work = std::function<int(const std::function<void()>& ready)>;
  void Start(const std::string& root, const Work& work) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      close(fds[0]);
      BecomeAnotherWorkstation(root);
      const int report = fds[1];
      _exit(work([report] {
        if (write(report, "x", 1) != 1) _exit(92);
        close(report);
      }));
    }
    close(fds[1]);
    char byte;
    const bool told = read(fds[0], &byte, 1) == 1;
    close(fds[0]);
    ASSERT_TRUE(told) << "the other workstation ended early";
  }
  int Wait() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ~RacingWorkstation() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace qztest
