// The machine's load average as /proc/loadavg gives it, printed with every
// figure: on a shared machine the same binary's times vary with it.
#pragma once

#include <fstream>
#include <string>

namespace qzbench {

inline std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string line;
  if (!std::getline(in, line)) return "?";
  return line;
}

}  // namespace qzbench
