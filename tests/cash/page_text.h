// The text of a printed report's pages as the reader sees it: one entry per
// non-blank line, runs of blanks folded to one, so that checks do not
// depend on the columns a value is printed at.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/ui/print_document.h"

namespace qztest {

inline std::vector<std::string> PageText(const qz::PrintDocument& doc) {
  std::vector<std::string> out;
  for (int p = 0; p < static_cast<int>(doc.pages.size()); ++p)
    for (const std::string& l : doc.PageLines(p)) {
      std::string s;
      for (char c : l)
        if (c != ' ' || (!s.empty() && s.back() != ' ')) s += c;
      while (!s.empty() && s.back() == ' ') s.pop_back();
      if (!s.empty()) out.push_back(s);
    }
  return out;
}

// Whether `lines` hold `line` exactly; a test failure names it when not.
inline bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const auto& l : lines)
    if (l == line) return true;
  ADD_FAILURE() << "missing: " << line;
  return false;
}

// How many of `lines` contain `part`.
inline int LinesWith(const std::vector<std::string>& lines, const std::string& part) {
  int n = 0;
  for (const auto& l : lines) n += l.find(part) != std::string::npos;
  return n;
}

}  // namespace qztest
