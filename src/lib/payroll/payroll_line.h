// One employee's payroll line as the value classes take it: the line's column
// values (H_D_PERS VALOR_1 and FACTOR) and the employee facts of the line
// (H_E_PERS), turned into the input of one column's value class. Opening a
// period and recalculating a past payroll feed the value classes the same
// way; only the definitions differ (the day's, or the payroll's copies).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/payroll/definitions.h"
#include "lib/payroll/value_classes.h"

namespace qz {

struct LineValue {
  std::string columna;  // COD_COLUMN
  double valor = 0;     // VALOR_1
  double factor = 0;    // FACTOR
};

struct LineFacts {
  double tot_sal = 0;          // TOT_SAL of the line
  int32_t f_ingreso = 0, f_retiro = 0;
  double schedule_factor = 0;  // FACTOR of the employee's work schedule
  double dias_laborados = 0;
  int sal_comple = 0, inc_cont = 0;
};

// The facts a payroll line (H_E_PERS, on its record) keeps: total salary,
// entry and retirement dates, the two flags. The schedule factor and days
// worked come from elsewhere and stay 0.
LineFacts ReadLineFacts(const xb::Table& h_e_pers);

// The input of the column `def` for the line: its own value and factor, the
// total salary for percentages, and for a composite item of table kind 3 the
// value of its base column (COL_BASE) on the same line.
EmployeeInput LineInput(const ColumnType& def, const std::vector<LineValue>& line,
                        const LineValue& value, const LineFacts& facts);

// How many payrolls of a payroll type fall in the month of `fecha`: CANTIDAD
// for a type of kind 0, the weekdays DIA_PAGO of the month for kind 1; at
// least 1, so nothing divides by 0.
int PayrollsInMonth(const PayrollType& tipo, int32_t fecha);

// What a column's value is divided by for one payroll when its type divides
// it over the period (DIVIDIR = 1): CANTIDAD for a payroll type of kind 0,
// N_EMISION for kind 1; 1 otherwise. A count that is not positive (a type
// left without it) counts as 1, so nothing is divided by 0.
double PeriodDivisor(const PayrollType& tipo, const ColumnType& columna);

}  // namespace qz
