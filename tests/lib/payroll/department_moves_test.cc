// Renaming, deleting, counting and copying a department through the data
// layer: every row that names the department moves (and nothing else), a past
// payroll is found under the new code by the history readers, a rename or
// delete stopped halfway leaves nothing changed, and a copy takes the layout
// once and no employee.
#include "lib/payroll/department_moves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/payroll/value_loader.h"
#include "support/department_fixture.h"

namespace {

using qztest::C;
using qztest::kCentral;
using qztest::kPlaya;

class DepartmentMovesTest : public qztest::DepartmentSession {
 protected:
  // Runs `body` inside an atomic transaction as a screen would: ended when it
  // returns, rolled back when the data layer throws. Returns the fault's table.
  std::string Atomically(const std::function<void()>& body) {
    qz::START_ATOMIC_TRANSACTION();
    try {
      body();
      qz::END_TRANSACTION();
      return "";
    } catch (const qz::Fault& f) {
      qz::ROLLBACK_TRANSACTION();
      return qz::FaultTable(f);
    }
  }

  void ExpectKitchenUntouched() {
    EXPECT_EQ(HistoryCounts("COC"), (std::vector<int>{2, 6, 6, 2, 6, 6, 2, 2, 2, 2, 2}));
    EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COC"), 3);
    EXPECT_EQ(Count("ACCIONES", "COD_DEPTO", "COC"), 3);
    EXPECT_EQ(Count("DET_DDA", "DEPTO", "COC"), 3);
    EXPECT_EQ(Count("DET_DEP3", "DEPTO", "COC"), 1);
    EXPECT_EQ(Count("DET_PERS", "CODIGO", "E1"), 3);
  }
};

TEST_F(DepartmentMovesTest, RenameCarriesTheCodeThroughEmployeesActionsDebtsAndHistory) {
  std::vector<std::string> reported;
  qz::RenameOptions o;
  o.progress = [&](const std::string& table, int64_t) { reported.push_back(table); };
  qz::RenameResult r;
  ASSERT_EQ(Atomically([&] { r = qz::RenameDepartment("HOTEL CENTRAL", "COC", "COCINA", o); }), "");

  EXPECT_EQ(HistoryCounts("COC"), std::vector<int>(11, 0));
  EXPECT_EQ(HistoryCounts("COCINA"), (std::vector<int>{2, 6, 6, 2, 6, 6, 2, 2, 2, 2, 2}));
  for (const auto& [table, field] : std::vector<std::pair<const char*, const char*>>{
           {"ENC_PERS", "DEPTO"}, {"ACCIONES", "COD_DEPTO"}, {"ACCI_OLD", "COD_DEPTO"},
           {"DET_DDA", "DEPTO"}, {"DET_DEP3", "DEPTO"}, {"MAP_PLA", "DEPTO"}}) {
    EXPECT_EQ(Count(table, field, "COC"), 0) << table;
    EXPECT_GT(Count(table, field, "COCINA"), 0) << table;
  }
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COCINA"), 3);
  // The editor rewrites the department's own rows; without own_rows they stay.
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 1);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC"), 3);
  // The bar and the other business's kitchen keep their codes.
  EXPECT_EQ(HistoryCounts("BAR"), (std::vector<int>{1, 1, 3, 1, 3, 3, 1, 1, 1, 1, 1}));
  EXPECT_EQ(HistoryCounts("COC", kPlaya), (std::vector<int>{1, 1, 3, 1, 3, 3, 1, 1, 1, 1, 1}));
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COC", kPlaya), 1);

  int64_t sum = 0;
  for (const auto& t : r.tables) sum += t.rows;
  EXPECT_EQ(sum, r.rows);
  EXPECT_EQ(r.rows, 3 + 3 + 3 + 3 + 1 + 38 + 1);
  EXPECT_NE(std::find(reported.begin(), reported.end(), "H_E_DEPT"), reported.end());
}

TEST_F(DepartmentMovesTest, APastPayrollIsFoundUnderTheNewCode) {
  ASSERT_EQ(Atomically([&] { qz::RenameDepartment(kCentral, "COC", "COCINA"); }), "");
  qz::TablePtr h_e_tip = qz::USE(nullptr, "H_E_TIP");
  qz::TablePtr h_e_dept = qz::USE(nullptr, "H_E_DEPT");
  const int32_t fecha = Date(2026, 11, 30);
  qz::ColumnType type;
  qz::ColumnRequest now{"HOTEL CENTRAL", "COCINA", "HX", true, "CR"};
  EXPECT_TRUE(qz::LoadColumnType(now, h_e_tip->table(), fecha, &type).ok());
  EXPECT_EQ(qz::PayrollsOfMonthUpTo(h_e_dept->table(), kCentral, "COCINA", fecha), 1);
  qz::ColumnRequest before{"HOTEL CENTRAL", "COC", "HX", true, "CR"};
  EXPECT_EQ(qz::LoadColumnType(before, h_e_tip->table(), fecha, &type).code(), xb::Code::kNotFound);
  qz::KILLTABLA(h_e_tip);
  qz::KILLTABLA(h_e_dept);
}

TEST_F(DepartmentMovesTest, RenameRefusesACodeThatStillHasAnotherDepartmentsPayrolls) {
  // The kitchen is deleted; its payrolls stay under COC.
  ASSERT_EQ(Atomically([&] { qz::DeleteDepartment(kCentral, "COC"); }), "");
  EXPECT_EQ(Atomically([&] { qz::RenameDepartment(kCentral, "BAR", "COC"); }), "H_E_DEPT");
  EXPECT_EQ(HistoryCounts("BAR"), (std::vector<int>{1, 1, 3, 1, 3, 3, 1, 1, 1, 1, 1}));
  EXPECT_EQ(HistoryCounts("COC"), (std::vector<int>{2, 6, 6, 2, 6, 6, 2, 2, 2, 2, 2}));
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "BAR"), 1);
}

TEST_F(DepartmentMovesTest, RenameMovesTheDepartmentsOwnRowsWhenAsked) {
  qz::RenameOptions o;
  o.own_rows = true;
  ASSERT_EQ(Atomically([&] { qz::RenameDepartment(kCentral, "COC", "COCINA", o); }), "");
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COCINA"), 1);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COCINA"), 3);
  EXPECT_EQ(Count("DET_DEP2", "DEPTO", "COCINA"), 2);
  EXPECT_EQ(Count("CONJ_COL", "DEPTO", "COCINA"), 1);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 0);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC", kPlaya), 1);
}

TEST_F(DepartmentMovesTest, RenameStoppedByAnotherUsersLockPutsEverythingBack) {
  // Another workstation holds a schedule copy of the kitchen's history.
  auto other = xb::Table::Open(file("H_TIEM_E.DBF"));
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->GoTop().ok());
  ASSERT_TRUE((*other)->LockRecord(1).ok());

  EXPECT_EQ(Atomically([&] { qz::RenameDepartment(kCentral, "COC", "COCINA"); }), "H_TIEM_E");
  (*other)->UnlockAll();
  ExpectKitchenUntouched();
  EXPECT_EQ(HistoryCounts("COCINA"), std::vector<int>(11, 0));
  EXPECT_EQ(*(*xb::Table::Open(file("LOG_ROLL.DBF")))->RecCount(), 1u);
}

// A full disk: the transaction journal cannot grow past 8 KB once the
// employees and the first history tables are in it. (The tables themselves
// are changed inside their size, which the limit does not touch.)
TEST_F(DepartmentMovesTest, RenameStoppedByAFullDiskPutsEverythingBack) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 8192;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::vector<std::string> visited;
  qz::RenameOptions o;
  o.progress = [&](const std::string& table, int64_t) { visited.push_back(table); };
  const std::string table =
      Atomically([&] { qz::RenameDepartment(kCentral, "COC", "COCINA", o); });
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  ASSERT_FALSE(visited.empty());
  EXPECT_EQ(table, visited.back());
  EXPECT_GT(visited.size(), 2u);  // stopped midway, not at the first row
  ExpectKitchenUntouched();
}

TEST_F(DepartmentMovesTest, CountsWhatADeleteTakesAndTheHistoryItLeaves) {
  qz::DepartmentCounts c = qz::CountDepartment(kCentral, "COC");
  EXPECT_EQ(c.employees, 3);
  EXPECT_EQ(c.employee_rows, 3 * (3 + 1 + 1));
  EXPECT_EQ(c.layout_rows, 3 + 2 + 1 + 1 + 1);
  EXPECT_EQ(c.payrolls, 2);
  EXPECT_EQ(c.history_rows, 2 + 6 + 6 + 2 + 6 + 6 + 2 + 2 + 2 + 2 + 2);
  qz::DepartmentCounts none = qz::CountDepartment(kCentral, "XYZ");
  EXPECT_EQ(none.employees + none.employee_rows + none.layout_rows + none.payrolls, 0);
}

TEST_F(DepartmentMovesTest, DeleteTakesTheLayoutAndTheEmployeesButKeepsTheHistory) {
  qz::DepartmentCounts c;
  ASSERT_EQ(Atomically([&] { c = qz::DeleteDepartment(kCentral, "COC"); }), "");
  EXPECT_EQ(c.employees, 3);
  EXPECT_EQ(c.employee_rows, 15);
  EXPECT_EQ(c.layout_rows, 8);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 0);
  for (const char* t : {"DET_DEPT", "DET_DEP2", "CONJ_COL", "DET_DEP3", "MAP_PLA"})
    EXPECT_EQ(Count(t, "DEPTO", "COC"), 0) << t;
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COC"), 0);
  for (const char* e : {"E1", "E2", "E3"}) {
    EXPECT_EQ(Count("DET_PERS", "CODIGO", e), 0);
    EXPECT_EQ(Count("DET_PER3", "CODIGO", e), 0);
    EXPECT_EQ(Count("DET_PER2", "COD_PER", e), 0);
  }
  EXPECT_EQ(HistoryCounts("COC"), (std::vector<int>{2, 6, 6, 2, 6, 6, 2, 2, 2, 2, 2}));
  // The other business's E1 and the bar keep everything.
  EXPECT_EQ(Count("DET_PERS", "CODIGO", "E1", kPlaya), 3);
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "BAR"), 1);
  EXPECT_EQ(Count("DET_PERS", "CODIGO", "B1"), 3);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC", kPlaya), 1);
}

TEST_F(DepartmentMovesTest, DeleteStoppedHalfwayLeavesTheDepartmentWhole) {
  // The last employee's value row is held by another workstation.
  auto other = xb::Table::Open(file("DET_PERS.DBF"));
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(9).ok());
  EXPECT_EQ(Atomically([&] { qz::DeleteDepartment(kCentral, "COC"); }), "DET_PERS");
  (*other)->UnlockAll();
  ExpectKitchenUntouched();
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC"), 1);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC"), 3);
  EXPECT_EQ(Count("DET_PERS", "CODIGO", "E3"), 3);
}

TEST_F(DepartmentMovesTest, DuplicateCopiesTheLayoutOnceAndNoEmployee) {
  xb::Result<int64_t> copied = xb::Status::OK();
  ASSERT_EQ(Atomically([&] {
              copied = qz::DuplicateDepartment(kCentral, "COC", "COC2", "Cocina dos");
            }),
            "");
  ASSERT_TRUE(copied.ok()) << copied.status().ToString();
  EXPECT_EQ(*copied, 1 + 3 + 2 + 1);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC2"), 1);
  EXPECT_EQ(Count("ENC_DEPT", "DESCRIP", "Cocina dos"), 1);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC2"), 3);
  EXPECT_EQ(Count("DET_DEP2", "DEPTO", "COC2"), 2);
  EXPECT_EQ(Count("CONJ_COL", "DEPTO", "COC2"), 1);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC"), 3);
  EXPECT_EQ(Count("ENC_PERS", "DEPTO", "COC2"), 0);
  EXPECT_EQ(Count("DET_DEP3", "DEPTO", "COC2"), 0);
  // Every other field of the header came along.
  EXPECT_EQ(Count("ENC_DEPT", "PIC_SAL", "999,999.99"), 3);
  EXPECT_EQ(Count("ENC_DEPT", "H_EXTRA", "HX"), 3);

  xb::Result<int64_t> again = xb::Status::OK();
  Atomically([&] { again = qz::DuplicateDepartment(kCentral, "BAR", "COC2", "Otra"); });
  EXPECT_EQ(again.status().code(), xb::Code::kExists);
  Atomically([&] { again = qz::DuplicateDepartment(kCentral, "NADA", "COC3", "Otra"); });
  EXPECT_EQ(again.status().code(), xb::Code::kNotFound);
  EXPECT_EQ(Count("DET_DEPT", "DEPTO", "COC2"), 3);
  EXPECT_EQ(Count("ENC_DEPT", "CODIGO", "COC3"), 0);
}

}  // namespace
