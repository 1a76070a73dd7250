// The recalculation of employees' hourly-cost factors: every screen that
// changes what an hourly cost is made of (a schedule's hours factor, a
// payroll type's divisor, the cost rounding, a column type's multiplier or
// base flag) runs this one routine inside its save transaction, after it has
// written its own row, so the routine reads the new definitions from the
// tables.
//
// For each employee in scope: the base salary is the employee's value in the
// base-salary columns (column types with VAL_BASE = 1; the first such value,
// or their sum, as the caller says); when that is not positive, the average of
// the employee's latest past payrolls (CALC_PL::GET_ULTIMOS_SAL). With a
// positive base, each value row in scope gets
//   FACTOR = R(base / payroll type's VAL_DIV / schedule FACTOR) x VALOR_3
// (0 when VAL_DIV, the schedule factor or VALOR_3 is 0), R being the
// business's cost rounding (F_PLAN RED_COSTO, DEC_COSTO, DEC_COST5). The
// payroll type is the one of the employee's department (ENC_DEPT.TIPO), the
// schedule the employee's COD_TIEMPO.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "xbase/status.h"

namespace qz {

class WDBTable;

struct FactorRecalcScope {
  std::string negocio;       // the business (blank-padded or not)
  std::string schedule;      // non-empty: only employees with this COD_TIEMPO
  std::string payroll_type;  // non-empty: only employees of departments of this TIPO
  std::string department;    // non-empty: only employees of this department
  // Non-empty: only these employees (codes), whatever the filters above say
  // (a process that has just changed some employees of chosen departments).
  std::vector<std::string> employees;
  // Non-empty: only the value rows of this column type; empty: every row
  // whose column type has VAL_DEPEND = 1 (other than the base rows).
  std::string column_type;
  // The base salary is the sum of the base-salary values (true) or the first
  // one met in the employee's value rows (false).
  bool base_is_sum = false;
  // The caller's DET_PERS handle, when it has appended or changed value rows
  // in its open transaction: those rows stay locked to that handle until
  // the transaction ends, so the factors must be written through it (its
  // order is changed). Null: the routine opens its own.
  WDBTable* det_pers = nullptr;
  // Called between employees, so the screen stays responsive.
  std::function<void()> pump;
};

struct FactorRecalcResult {
  int employees = 0;  // employees visited
  int rows = 0;       // value rows whose FACTOR was written
};

// Runs the recalculation through the data layer (each row locked, written
// and unlocked; inside the caller's transaction when one is open). An error
// (a table missing or unreadable) is returned; the caller's transaction
// rolls back what was written.
xb::Result<FactorRecalcResult> RecalcEmployeeFactors(const FactorRecalcScope& scope);

}  // namespace qz
