// Row helpers the payroll benchmarks share to build their tables directly
// through the engine: a failure aborts, since a benchmark on half-built
// data would measure nothing.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "xbase/table.h"

namespace bench_rows {

// Column code `c` as two digits.
inline std::string Col(int c) {
  std::string s = std::to_string(c);
  return s.size() < 2 ? "0" + s : s;
}

inline void Put(xb::Table& t, const std::map<std::string, xb::Value>& row) {
  if (!t.Append().ok()) std::abort();
  for (const auto& [f, v] : row)
    if (!t.Put(f, v).ok()) std::abort();
}

inline std::unique_ptr<xb::Table> Open(const std::string& bases, const std::string& name) {
  auto t = xb::Table::Open(bases + name + ".DBF");
  if (!t.ok()) std::abort();
  return std::move(*t);
}

}  // namespace bench_rows
