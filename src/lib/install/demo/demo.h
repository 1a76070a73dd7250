// The demo hotel group: a realistic, deterministic set of businesses, users,
// currencies, payroll definitions, employees and payroll history loaded into
// a freshly made installation, so the program can be tried and measured.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "xbase/env.h"
#include "xbase/status.h"

namespace qz {

class Catalog;

struct DemoOptions {
  // The demo's "today": exchange rates run up to it and the last payrolls end
  // just before it. Fixed by default, so two demos are byte for byte alike.
  int year = 2026, month = 6, day = 30;
  uint64_t seed = 20260630;
  int employees = 300;     // spread over the businesses and departments
  xb::Env* env = nullptr;  // null = the process environment
};

struct DemoSummary {
  std::map<std::string, int> rows;  // rows written per table
};

// A date that is no calendar date, or an employee count out of 10..5000.
xb::Status CheckDemoOptions(const DemoOptions& options);

// Loads the demo into the installation folder `dir` (made by the installer,
// its tables still empty).
xb::Status LoadDemo(const std::string& dir, const Catalog& catalog, const DemoOptions& options,
                    const std::function<void(const std::string&)>& progress, DemoSummary* summary);

// Adds the demo's payroll history to the installation `dir` once LoadDemo's
// rows and every tag are in place: thirteen months of payrolls opened by the
// program's consolidation, with the staff's hirings, departures and a raise
// written into the employees' tables before the payrolls they reach. Runs
// the data layer on `dir`; the process's settings and work areas are reset
// afterwards.
xb::Status LoadDemoHistory(const std::string& dir, const DemoOptions& options,
                           const std::function<void(const std::string&)>& progress,
                           DemoSummary* summary);

// The demo's logins, documented in docs/installation.md and the README.
struct DemoLogin {
  const char* name;
  const char* password;
  const char* role;
};
const DemoLogin* DemoLogins(int* count);

}  // namespace qz
