// The writing steps of a payroll opening, run inside its transaction: the
// department's definitions, one employee's payroll line with its rows, and
// the rows shared by the business's payrolls of one date.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/history_fields.h"

namespace qz::consolidation {

// What a column value row needs of its column type.
struct ColumnFacts {
  bool base = false;      // VAL_BASE = 1: starts with the employee's TOT_SAL
  bool vacation = false;  // VAC_PAGADA = 1: VACACION = "1"
};

class PayrollCopy {
 public:
  // `negocio` and `depto` as stored (padded to their fields); `columns` the
  // business's column types by code.
  PayrollCopy(OpeningTables& t, std::string negocio, std::string depto, int32_t fecha,
              const std::map<std::string, ColumnFacts>& columns);

  // Header, columns with their column types and brackets, distribution rows,
  // cost-centre split, payroll type and column sets; then the business's
  // schedules and transfer types under this department. The department's
  // ENC_DEPT row must be current.
  void Definitions();
  // The payroll line of the employee at record `recno` of ENC_PERS, its
  // column values, daily grid and cost-centre split.
  void Employee(uint32_t recno);
  // The business's cost tables (with their lines) unless the date has them
  // already, and each column group the date lacks. Returns whether anything
  // was copied. The caller holds the lock that makes this exclusive.
  bool Shared();

 private:
  // Appends to `to` a copy of `from`'s current row; `set` then writes the
  // fields the opening sets.
  template <typename Set>
  void Append(WDBTable& from, WDBTable& to, Set set);
  void Dated(xb::Table& to);
  void DatedInDepartment(xb::Table& to);
  void CopyAll(const char* from, const char* tag, const std::string& prefix, const char* to,
               bool with_department);

  OpeningTables& t_;
  std::string negocio_, depto_;
  int32_t fecha_;
  const std::map<std::string, ColumnFacts>& columns_;
  std::map<std::string, HistoryRowCopy> maps_;  // by "FROM>TO"
};

}  // namespace qz::consolidation
