// One employee's payroll as the accounting interfaces compute it: salary
// income S and non-deductible income N (salary columns, category "01"),
// withholdings R (category "03") and deductions D (category "02"), in that
// order, each column through its value class; and, for the SAP journal, the
// results of the mapped columns converted into the journal's currency. The
// journal (current payroll or a past payroll's copies) and the expense
// distribution both compute here; where the distribution books otherwise,
// SapBooking says so. Table access stays with the callers: they hand over
// the inputs and the value classes.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "lib/accounting/sap_model.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/income.h"
#include "lib/payroll/value_classes.h"

namespace qz {

class CALC_VAC;

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

// Where the expense distribution books otherwise than the journal:
// - its column amounts are not rounded to cents (only the net is);
// - an informative column pays nothing and is not computed, unless it
//   carries the vacation adjustment (paid and costed vacations);
// - an income column's total is booked whole, by its DEDUCIBLE mark, unless
//   an absolute value split it into its two parts;
// - a percentage income column takes the income computed so far as the
//   total salary (the journal: the employee's TOT_SAL);
// - nothing is recorded by column (no RESULTADO rows): each computed column
//   goes to `on_column`.
enum class SapBooking { kJournal, kExpense };

// What the caller knows of the employee's department and the run.
struct SapDeptContext {
  SapBooking booking = SapBooking::kJournal;
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
  // Each column computed, in the order of computation, with the amount it
  // books: income its S and N parts, withholdings and deductions the amount
  // taken (positive).
  std::function<void(const SapColumnInput&, double amount)> on_column;
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

// The vacation adjustment of a salary column (category "01") whose type
// pays and costs vacations (VAC_PAGADA = VAC_COSTO = 1) and whose value is
// not 0: CALC_VAC's for the column's VALOR_1 (quantity) and FACTOR (unit
// cost); 0 for any other column. `vac` is made by `make` on first need and
// kept for the next employees.
double SapVacationAdjustment(const SapColumnInput& c, const std::string& empleado,
                             std::unique_ptr<CALC_VAC>& vac,
                             const std::function<std::unique_ptr<CALC_VAC>()>& make);

}  // namespace qz
