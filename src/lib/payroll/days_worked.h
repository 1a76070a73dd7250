// Days worked by an employee in a payroll (GET_DIAS_LABORADOS on the current
// definitions, GET_HIST_DIAS_LABORADOS on a past payroll's copies).
#pragma once

#include <string>
#include <vector>

#include "lib/payroll/definitions.h"

namespace xb {
class Table;
}

namespace qz {

// One employee column as the hours count sees it.
struct HoursColumn {
  const ColumnType* type = nullptr;  // null when the column type does not exist
  std::string categoria;             // the department column's TIPO ("01" salary)
  double valor = 0;                  // the employee's VALOR_1
};

// The days-worked rule over already-read columns: hours of the salary
// columns with SUM_HORA = 1 (base hours, sick leave and signs as the column
// types say), divided by the schedule factor. A schedule factor of 0 gives 0
// days; a divisor d of 0 (a payroll type without CANTIDAD or N_EMISION)
// counts as 1.
double DaysWorked(const std::vector<HoursColumn>& cols, int depto_hora, const PayrollType& tipo,
                  double schedule_factor);

// The current tables, open, as the caller has them.
struct CurrentTables {
  xb::Table* enc_pers = nullptr;  // employees
  xb::Table* det_pers = nullptr;  // employee column values
  xb::Table* det_dept = nullptr;  // department columns
  xb::Table* enc_tip = nullptr;   // column types
  xb::Table* tip_pla = nullptr;   // payroll types
  xb::Table* tiempo_e = nullptr;  // work schedules
  xb::Table* enc_dept = nullptr;  // departments
};

// A past payroll's copies.
struct HistoryTables {
  xb::Table* h_e_pers = nullptr;  // payroll lines
  xb::Table* h_d_pers = nullptr;  // column values
  xb::Table* h_d_dept = nullptr;  // payroll columns
  xb::Table* h_e_tip = nullptr;   // column-type copies
  xb::Table* h_tip_pl = nullptr;  // payroll-type copies
  xb::Table* h_tiem_e = nullptr;  // work-schedule copies
  xb::Table* h_e_dept = nullptr;  // payroll headers
};

// GET_DIAS_LABORADOS: days worked in the current payroll; 0 when the employee
// does not exist. Every table's position is restored.
double GET_DIAS_LABORADOS(const std::string& negocio, const CurrentTables& t,
                          const std::string& depto, const std::string& empleado);
// GET_HIST_DIAS_LABORADOS: the same on the payroll of `depto` dated `fecha`.
double GET_HIST_DIAS_LABORADOS(const std::string& negocio, const HistoryTables& t,
                               const std::string& depto, const std::string& empleado,
                               int32_t fecha);

// Exact lookup of `key` on `tag`; false when not found or unreadable.
bool Lookup(xb::Table& t, const std::string& tag, const std::string& key);

}  // namespace qz
