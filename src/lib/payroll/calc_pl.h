// CALC_PL: the average salary of an employee's past payrolls, the base of the
// hourly cost when the employee has no base-salary value. The screens that
// recompute hourly costs derive from it.
#pragma once

#include <cstdint>
#include <string>

namespace xb {
class Table;
}

namespace qz {

struct CalcPlTables {
  xb::Table* h_e_pers = nullptr;  // payroll lines (tag H_E_PERS7, newest first)
  xb::Table* h_tip_pl = nullptr;  // payroll-type copies
  xb::Table* h_e_dept = nullptr;  // payroll headers
  xb::Table* f_plan = nullptr;    // payroll parameters (SAL_PROM, SAL_PROM2)
  xb::Table* enc_pers = nullptr;  // employees
  xb::Table* enc_dept = nullptr;  // departments
  xb::Table* t_cambio = nullptr;  // exchange rates
};

class CALC_PL {
 public:
  CALC_PL() = default;
  explicit CALC_PL(const CalcPlTables& t) : t_(t) {}
  void SetTables(const CalcPlTables& t) { t_ = t; }

  // The employee's average salary per pay period: with `switch_on` false,
  // `defecto`; otherwise the salaries (TOT_SAL, converted to the department's
  // currency) of the lines before the last day of the reference month, over
  // at most SAL_PROM2 distinct months; their sum over SAL_PROM (or the months
  // found when fewer) is a monthly average, which is spread over the payroll
  // lines per month found (4-5 weekly, 2 bi-weekly, 1 monthly) because the
  // hourly cost divides it by the per-period VAL_DIV. No history (a sum of 0)
  // gives `defecto`. `referencia` 0 means today. Positions are restored.
  double GET_ULTIMOS_SAL(const std::string& negocio, const std::string& empleado,
                         const std::string& depto, bool switch_on, double defecto,
                         int32_t referencia = 0);

  // The amount of the past payroll on which `h_e_dept` stands, in that
  // payroll's currency, converted into the currency the department on which
  // `enc_dept` stands is paid in now, at the payroll's date (0 when there is
  // no rate). 1,040,000 CRC at 520 CRC per USD for a department now in USD
  // is 2,000.
  double CONVERTIR(const std::string& negocio, double monto);

 private:
  CalcPlTables t_;
};

}  // namespace qz
