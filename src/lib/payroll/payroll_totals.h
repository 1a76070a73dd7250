// What each column of an opened payroll paid: the value classes built from
// the payroll's own copies of its column types (H_E_TIP / H_D_TIP, its
// payroll type H_TIP_PL, its schedules H_TIEM_E), fed with each line's
// values (H_D_PERS) and facts (H_E_PERS), and each row's TOTAL written back.
// The recalculation of past payrolls and the demo's history share it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lib/payroll/payroll_line.h"
#include "xbase/status.h"

namespace qz {

struct PayrollKey {
  std::string negocio;  // business, as stored or as typed
  std::string depto;
  int32_t fecha = 0;
};

// Called for each row before the line is computed: may replace the value and
// factor the row holds (what was entered for the period) and returns whether
// it did. `empleado` and the row's COD_COLUMN come trimmed.
using EnteredValue =
    std::function<bool(const std::string& empleado, LineValue* value)>;

struct PayrollTotals {
  int lines = 0;  // payroll lines computed
  int rows = 0;   // value rows written
};

// Computes every line of the payroll and writes VALOR_1, FACTOR and TOTAL
// (rounded to cents) of each row that changes, through the record-change
// pattern (inside the caller's transaction when one is open). An income-tax
// column (a composite item of table kind 1) is computed on the line's
// income projected over the month's payrolls and divided over them, its
// value being that base. NotFound when the payroll has no header.
xb::Result<PayrollTotals> ComputePayrollTotals(const PayrollKey& key,
                                               const EnteredValue& entered = nullptr);

}  // namespace qz
