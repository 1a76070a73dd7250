// Another workstation in a forked child: the child starts the program's
// data layer for itself (its own tables, locks and journal), does its work
// and tells the parent through a pipe once it stands where the parent wants
// to kill it.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace qztest
