// The SAP journal's computation of one employee: salary income S and
// non-deductible income N (salary columns, category "01"), withholdings R
// (category "03") and deductions D (category "02"), in that order, each
// column through its value class; and the results of the mapped columns,
// converted into the journal's currency. Table access stays with the
// callers (the current payroll, or a past payroll's copies): they hand over
// the inputs and the value classes.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "lib/accounting/sap_model.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/income.h"
#include "lib/payroll/value_classes.h"

namespace qz {

// One column of the employee.
struct SapColumnInput {
  std::string columna;    // trimmed code
  std::string categoria;  // the department column's TIPO: "01", "02" or "03"
  double valor = 0, factor = 0, constante = 0, limite = 0;
  double ajuste_vacaciones = 0;  // CALC_VAC's adjustment of a vacation-costed column
  ColumnValue* clase = nullptr;   // null: a separator line, or the type is missing
  bool type_missing = false;      // the column type does not exist
  // A past payroll booked as paid: the amount its value row keeps (TOTAL)
  // is taken instead of computing the column again.
  bool has_paid = false;
  double paid = 0;
};

struct SapEmployeeInput {
  std::string codigo, nombre;  // as stored
  double tot_sal = 0, ret_acum = 0;
  double schedule_factor = 0, dias_laborados = 0;
  int32_t f_ingreso = 0, f_retiro = 0;
  int sal_comple = 0, inc_cont = 0;
  std::vector<SapColumnInput> columns;
};

// What the caller knows of the employee's department and the run.
struct SapDeptContext {
  PayrollType tipo;
  bool has_tipo = false;
  // R1: the multiplier from the department's currency into the journal's
  // (0: no rate).
  double r1 = 1;
  // R2 of a column type: the multiplier from the department's currency into
  // the type's MONEDA2 (0: no rate). Asked only for informative columns with
  // a MONEDA2.
  std::function<double(const std::string& moneda2)> r2;
  // The income-tax base (OBTENER_SALARIO) of a composite withholding or
  // deduction; told S, N and the accumulators. May tell the value class the
  // period data.
  std::function<double(const SapEmployeeInput&, const SapColumnInput&, const IncomeInput&,
                       VAL_COMP*)>
      tax_base;
  // The columns some mapping row names (trimmed codes).
  const std::set<std::string>* mapped = nullptr;
  // Net-salary rounding (F_PLAN REDONDEO, DECIMALES, DECIMAL_5).
  int redondeo = 0, decimales = 2, decimal_5 = 0;
};

struct SapEmployeeResult {
  double s = 0, n = 0, r = 0, d = 0;
  std::map<std::string, SapAmounts> columns;  // recorded (mapped) columns
  std::vector<SapProblem> problems;
  // The rounded S + N - (D + R).
  double net = 0;
};

// R_SALARIO: the net rounded upwards by ROUND6 when REDONDEO = 1.
double SapNetRounding(double net, const SapDeptContext& ctx);

SapEmployeeResult ComputeSapEmployee(const SapEmployeeInput& in, const SapDeptContext& ctx);

}  // namespace qz
