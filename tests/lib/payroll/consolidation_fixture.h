// A small business for payroll openings: department D1 (monthly payroll type
// "M") with a base-salary column, a paid-vacation column and a bracket
// column, two active employees and a retired one, each with value rows, a
// daily grid and a cost-centre split; department D2 with the same layout
// and no active employee; schedules, transfer types, cost tables and column
// groups of the business. Every table the opening touches exists with the
// catalog's layout and tags.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lib/payroll/consolidation.h"
#include "support/ui_session.h"
#include "xbase/table.h"

namespace qztest {

inline const std::string kBiz = Biz("HOTEL CENTRAL");
inline const int32_t kMarch31 = xb::JulianFromYmd(2026, 3, 31);

class ConsolidationTest : public UiSession {
 protected:
  void SetUp() override;

  // Adds active employees <prefix>0001.. to department `dept`, each with one
  // value row per column of the layout.
  void AddEmployees(const std::string& dept, int count, double salary,
                    const std::string& prefix = "E");

  qz::ConsolidationResult Open(const std::string& dept, int32_t fecha = kMarch31) {
    qz::ConsolidationRequest r;
    r.negocio = "HOTEL CENTRAL";
    r.depto = dept;
    r.fecha = fecha;
    return qz::ConsolidatePayroll(r);
  }

  // Rows of a table (read by another handle, as another workstation would),
  // optionally only those `keep` accepts.
  std::vector<std::map<std::string, xb::Value>> Rows(
      const std::string& table,
      const std::function<bool(const std::map<std::string, xb::Value>&)>& keep = nullptr);
  size_t Count(const std::string& table) { return Rows(table).size(); }
  // Visible rows of all the history tables together.
  size_t HistoryRows() {
    size_t n = 0;
    for (const auto& name : HistoryTables()) n += Count(name);
    return n;
  }
  // Every problem the integrity check finds in the history tables.
  std::vector<std::string> CheckHistory();
  // The history tables the opening writes.
  static const std::vector<std::string>& HistoryTables();
};

// Trimmed text of a value.
std::string S(const std::map<std::string, xb::Value>& row, const std::string& field);
double Num(const std::map<std::string, xb::Value>& row, const std::string& field);

}  // namespace qztest
