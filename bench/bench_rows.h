// Row helpers the payroll benchmarks share to build their tables directly
// through the engine: a failure aborts, since a benchmark on half-built
// data would measure nothing.
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
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

inline xb::Value C(const std::string& s) {
  return xb::Value::Char(s);
}
inline xb::Value N(double d) {
  return xb::Value::Number(d);
}

// An empty installation in `dir`; returns its root (with the slash).
inline std::string NewInstallation(const std::string& dir) {
  const std::string root = dir + "/";
  qz::InstallOptions options;
  options.force = true;
  if (!qz::CreateInstallation(root, options).ok()) std::abort();
  return root;
}

// Closes the tables a set-up wrote, then starts the data layer on `root`
// as the payroll program does.
inline void StartPayroll(const std::string& root, std::initializer_list<xb::Table*> written) {
  for (xb::Table* t : written)
    if (!t->Close().ok()) std::abort();
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  if (qz::StartDataLayer(root) != qz::StartResult::kContinue) std::abort();
}

}  // namespace bench_rows
