// Running a SAP journal: the request of "Creación de Asiento S.A.P" (the
// current payroll of the marked departments at a cut date, from the
// employees' current values) and of a past payroll (its own copies of the
// definitions and values), both computed by ComputeSapEmployee and gathered
// into the employee and department rows the mapping turns into lines.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lib/accounting/sap_compute.h"
#include "lib/accounting/sap_mapping.h"
#include "lib/accounting/sap_model.h"
#include "lib/payroll/definitions.h"

namespace xb {
class Table;
}

namespace qz {

// The pay date of a payroll type for a cut date: for a type paid on a fixed
// weekday (TIPO = 1, OBLIGA_DIA = 1) the day of the cut date's week whose
// weekday (1 = Sunday .. 7 = Saturday) is DIA_PAGO; otherwise the cut date.
int32_t SapPayDate(const PayrollType* tipo, int obliga_dia, int32_t corte);

// Whether an employee is on the journal of a pay date: hired on or before
// it, and active, or retired after its newest payroll line (0: none) and on
// or before the pay date without an immediate retirement.
struct SapEmployeeStatus {
  int32_t f_ingreso = 0, f_retiro = 0;
  int activo = 0, inmediato = 0;
  int32_t newest_line = 0;
};
bool SapIncluded(const SapEmployeeStatus& e, int32_t pay_date);

struct SapRequest {
  std::string negocio;
  std::vector<std::string> departamentos;  // codes, marked in the tree
  int32_t corte = 0;                       // "Fecha de Corte:"
  std::string moneda;                      // the journal's currency
  void* owner = nullptr;                   // the screen the tables belong to
  // Called per employee with the department's description; false stops the
  // employee loop (what was computed so far stays).
  std::function<bool(const std::string& depto_descrip, int64_t done, int64_t total)> progress;
};

// The current payroll of the request's departments. `mapping` decides the
// detail flag and which columns are recorded.
SapComputation ComputeCurrentSap(const SapRequest& r, const std::vector<SapMapRow>& mapping);

// A past payroll (business, department, date) computed from its copies,
// for the journal as it would have been made the day the payroll was
// opened: its lines are its employees. NotFound when there is no payroll.
struct SapPayrollKey {
  std::string negocio, depto;
  int32_t fecha = 0;
  std::string moneda;  // "" = the payroll's own currency
};
// What the payroll itself paid, from the TOTAL its value rows keep: by
// column (withholdings and deductions as the amounts withheld, as the
// journal books them) and its totals by the journal's rules.
struct SapPaid {
  std::map<std::string, double> columns;     // trimmed code -> amount
  std::map<std::string, std::string> names;  // trimmed code -> description (bytes)
  // The total ("_2" .. "_5") a column's amount is part of; "" when it is in
  // none (an informative percentage or composite item).
  std::map<std::string, std::string> part_of;
  SapTotals totals;
  double rounding = 0;  // what rounding the lines' nets added
  int lines = 0;
};
// `as_paid`: each column's amount is the TOTAL its value row keeps (what the
// payroll paid); otherwise the columns are computed again by the journal's
// own rules (percentages on S and S + N, the income-tax base of
// HIST_OBTENER_SALARIO, the period start of the employee's previous line).
xb::Result<SapComputation> ComputeHistorySap(const SapPayrollKey& k,
                                             const std::vector<SapMapRow>& mapping,
                                             SapPaid* paid = nullptr, bool as_paid = true);

// Gathers employees' results into the employee and department rows.
class SapGather {
 public:
  SapGather(SapComputation* out, bool detail) : out_(out) { out_->detail = detail; }
  void BeginDept(const SapDeptRow& header) { dept_ = header; }
  // `row` carries the employee's identification fields.
  void Add(SapEmployeeRow row, const SapEmployeeResult& r, double ret_acum);
  void EndDept();

 private:
  SapComputation* out_;
  SapDeptRow dept_;
  std::map<std::string, size_t> index_;  // employee code -> row
};

// Calls `fn` for each row whose key on `tag` starts with `prefix` (the rows
// are collected first, so `fn` may move the table); the position is put back.
void SapForRows(xb::Table& t, const char* tag, const std::string& prefix,
                const std::function<void(xb::Table&)>& fn);

// Reads an employee's facts and identification fields from the current
// record of ENC_PERS or of a payroll line H_E_PERS (they share the names).
void ReadSapEmployee(const xb::Table& p, SapEmployeeInput* in, SapEmployeeRow* row);
// Reads a value row (DET_PERS or H_D_PERS) of a column in `categories`
// (code -> the department column's TIPO); false for a column the
// department does not have.
bool ReadSapColumn(const xb::Table& v, const std::map<std::string, std::string>& categories,
                   SapColumnInput* c);

// The columns the mapping names (trimmed codes).
std::set<std::string> SapMappedColumns(const std::vector<SapMapRow>& mapping);

}  // namespace qz
