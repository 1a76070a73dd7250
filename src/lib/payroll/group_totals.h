// Recomputing the four group totals (TOT_GRUPO1 .. TOT_GRUPO4) of past payroll
// lines, after the column types' groups (AGRUPARn) or the bonus parameters
// changed. Each line's absolute-value columns are run again through their
// value class, with the current column-type definition and the payroll's own
// payroll-type and schedule copies; the group amounts of the results add up
// to the line's totals. Percentages and bracket tables do not take part.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lib/payroll/value_classes.h"
#include "xbase/status.h"

namespace qz {

struct GroupTotalsRequest {
  std::string negocio;
  std::vector<std::string> deptos;  // department codes
  // Payroll dates, both inclusive; 0 leaves that end of the range open.
  int32_t desde = 0, hasta = 0;
  // Told each payroll ("dd/mm/yy  description") and each line ("code  name").
  std::function<void(const std::string& text)> on_payroll, on_line;
};

struct GroupTotalsDone {
  int payrolls = 0;  // payrolls visited
  int lines = 0;     // lines computed
  int changed = 0;   // lines whose totals changed (and were written)
};

// Runs the recomputation over the departments' payrolls in the range and
// writes each line's totals under the record lock (inside the caller's
// transaction when one is open: a lock refused there aborts it). Lines whose
// totals come out unchanged are not rewritten.
xb::Result<GroupTotalsDone> RecalcGroupTotals(const GroupTotalsRequest& r);

}  // namespace qz
