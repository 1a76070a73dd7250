// The projected monthly income an income-tax column is computed on
// (OBTENER_SALARIO for the payroll being computed, HIST_OBTENER_SALARIO for a
// past payroll). It adds what the employee earned in the month's earlier
// payrolls to this payroll's income projected over the rest of the month,
// and tells the income-tax value class (VAL_COMP::PUT_2) how to spread it.
#pragma once

#include <cstdint>
#include <string>

#include "lib/payroll/definitions.h"

namespace xb {
class Table;
}

namespace qz {

class VAL_COMP;

// What the month's other payrolls contributed.
struct MonthIncome {
  double p = 0;   // TOT_SAL + ADIC_RENTA of the employee's lines
  double w = 0;   // income tax already withheld (the column's TOTAL, as a magnitude)
  int count = 0;  // payrolls counted
};

struct IncomeInput {
  int32_t fecha = 0;        // D
  double no_divisible = 0;  // ND
  double divisible = 0;     // DV
  double salario = 0;       // this payroll's salary
  double adicional = 0;     // additional income-tax base
  bool sumar_adicional = false;
};

// The projection rules over the month's figures; `clase` (may be null) is
// told the period data. Returns 0 for a payroll type it has no rule for.
double ProjectMonthlyIncome(const MonthIncome& m, const IncomeInput& in, const PayrollType& tipo,
                            int tipo_tabla, VAL_COMP* clase);

struct IncomeTables {
  xb::Table* tip_pla = nullptr;   // payroll types (H_TIP_PL for the historical form)
  xb::Table* h_e_dept = nullptr;  // payroll headers
  xb::Table* h_e_pers = nullptr;  // payroll lines
  xb::Table* h_d_pers = nullptr;  // column values
  xb::Table* enc_dept = nullptr;  // current departments (current form only)
};

// OBTENER_SALARIO. `excluir_fecha` leaves the payroll dated exactly D out of
// the month's payrolls. A department or payroll type that cannot be found
// gives 0 and leaves the value class untold. Positions are restored.
double OBTENER_SALARIO(const std::string& negocio, const IncomeTables& t, const IncomeInput& in,
                       const ColumnType& tipo_col, const std::string& depto,
                       const std::string& empleado, VAL_COMP* clase, const std::string& columna,
                       bool excluir_fecha = false);

// HIST_OBTENER_SALARIO: on the payroll's copies; the month's payrolls dated
// before D count, and this payroll's salary is its line's TOT_SAL.
double HIST_OBTENER_SALARIO(const std::string& negocio, const IncomeTables& t,
                            const IncomeInput& in, const ColumnType& tipo_col,
                            const std::string& depto, const std::string& empleado, VAL_COMP* clase,
                            const std::string& columna);

}  // namespace qz
