// Runs the qzadmin binary as an operator would, with a time limit so that a
// command that never ends fails the test instead of hanging it.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace qztest {

struct CmdResult {
  int status = -1;  // exit status; -1 when killed
  std::string out;  // stdout and stderr together
};

inline CmdResult Qzadmin(const std::string& args) {
  CmdResult r;
  std::string cmd = "timeout 120 " + std::string(QZADMIN_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace qztest
