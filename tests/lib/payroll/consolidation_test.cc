// Opening a payroll period: what each history table receives, what two
// departments of one date share, and every refusal that must leave the
// history untouched (a payroll that exists, a missing definition, an
// employee another user holds, a cancel).
#include <gtest/gtest.h>

#include <filesystem>

#include "consolidation_fixture.h"
#include "xbase/table.h"

namespace qztest {
namespace {

using Rec = std::map<std::string, xb::Value>;

bool OfDept(const Rec& r, const char* dept) {
  return S(r, "DEPTO") == dept;
}

TEST_F(ConsolidationTest, CopiesTheDepartmentItsTypesAndOneLinePerActiveEmployee) {
  qz::ConsolidationResult r = Open("D1");
  ASSERT_EQ(r.outcome, qz::ConsolidationOutcome::kDone) << r.message;
  EXPECT_EQ(r.message, "Fin de Proceso");
  EXPECT_EQ(r.lines, 2);
  EXPECT_TRUE(r.shared_copied);

  auto header = Rows("H_E_DEPT");
  ASSERT_EQ(header.size(), 1u);
  EXPECT_EQ(S(header[0], "CODIGO"), "D1");
  EXPECT_EQ(S(header[0], "DESCRIP"), "Cocina");
  EXPECT_EQ(header[0]["FECHA"].date(), kMarch31);
  EXPECT_EQ(Count("H_D_DEPT"), 3u);

  // Column-type copies: the absolute value's default amount starts at 0, the
  // bracket column keeps its own constants and the fields other processes
  // read (CONTA_IND, DIA_TABLA, TIPO_TABLA).
  auto types = Rows("H_E_TIP");
  ASSERT_EQ(types.size(), 3u);
  for (auto& t : types) {
    EXPECT_EQ(S(t, "DEPTO"), "D1");
    if (S(t, "CODIGO") == "SB") {
      EXPECT_EQ(Num(t, "VALOR"), 0);
    }
    if (S(t, "CODIGO") != "RT") continue;
    EXPECT_EQ(Num(t, "VALOR"), 7);
    EXPECT_EQ(Num(t, "VALOR_3"), 1.5);
    EXPECT_EQ(Num(t, "CONTA_IND"), 1);
    EXPECT_EQ(Num(t, "DIA_TABLA"), 5);
    EXPECT_EQ(Num(t, "TIPO_TABLA"), 1);
  }
  auto brackets = Rows("H_D_TIP");
  ASSERT_EQ(brackets.size(), 2u);
  EXPECT_EQ(S(brackets[1], "DEPTO"), "D1");
  EXPECT_EQ(Num(brackets[1], "PORCENTAJE"), 10);

  auto type = Rows("H_TIP_PL");
  ASSERT_EQ(type.size(), 1u);
  EXPECT_EQ(S(type[0], "DEPTO"), "D1");
  EXPECT_EQ(Num(type[0], "VAL_DIV"), 30);
  EXPECT_EQ(Count("H_D_DEP2"), 1u);
  EXPECT_EQ(Count("H_D_DEP3"), 1u);
  EXPECT_EQ(Count("H_CONJ_C"), 1u);

  // The retired employee has no line.
  auto lines = Rows("H_E_PERS");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(S(lines[0], "CODIGO"), "A1");
  EXPECT_EQ(S(lines[1], "CODIGO"), "B2");
  EXPECT_EQ(lines[0]["LIMITE"].date(), xb::JulianFromYmd(2090, 1, 1));
  EXPECT_EQ(Num(lines[0], "TOT_GRUPO1"), 11);
  EXPECT_EQ(Num(lines[1], "TOT_SAL"), 900000);

  // Values: the base-salary column starts with the line's TOT_SAL, the rest
  // at 0; the paid-vacation column is marked.
  auto values = Rows("H_D_PERS");
  ASSERT_EQ(values.size(), 6u);
  for (auto& v : values) {
    const std::string col = S(v, "COD_COLUMN");
    const double salary = S(v, "CODIGO") == "A1" ? 600000 : 900000;
    EXPECT_EQ(Num(v, "VALOR_1"), col == "SB" ? salary : 0) << col;
    EXPECT_EQ(Num(v, "FACTOR"), 0);
    EXPECT_EQ(Num(v, "TOTAL"), 0);
    EXPECT_EQ(S(v, "VACACION"), col == "VA" ? "1" : "") << col;
    EXPECT_EQ(Num(v, "CENTRO_IND"), 1);
    EXPECT_EQ(v["FECHA"].date(), kMarch31);
  }
  auto grid = Rows("H_D_PER2");
  ASSERT_EQ(grid.size(), 1u);
  EXPECT_EQ(S(grid[0], "NEGOCIO"), "HOTEL CENTRAL");
  EXPECT_EQ(Num(grid[0], "C_1"), 8);
  EXPECT_EQ(Count("H_D_PER3"), 2u);

  auto schedules = Rows("H_TIEM_E");
  ASSERT_EQ(schedules.size(), 2u);
  EXPECT_TRUE(OfDept(schedules[0], "D1") && OfDept(schedules[1], "D1"));
  EXPECT_EQ(Count("H_TIP_TR"), 1u);
  EXPECT_EQ(Count("H_E_COST"), 1u);
  EXPECT_EQ(Count("H_D_COST"), 2u);
  EXPECT_EQ(Count("H_GRP_C"), 2u);
  EXPECT_TRUE(CheckHistory().empty());
  // The opening's transaction is over: no journal is left behind.
  EXPECT_TRUE(std::filesystem::is_empty(inst.root + "BASES/JOURNAL"));
}

TEST_F(ConsolidationTest, TwoDepartmentsOfOneDateShareCostTablesAndGroups) {
  ASSERT_TRUE(Open("D1").ok());
  // D2 has no active employee: a header, its columns and definitions, and
  // no line.
  qz::ConsolidationResult r = Open("D2");
  ASSERT_EQ(r.outcome, qz::ConsolidationOutcome::kDone) << r.message;
  EXPECT_EQ(r.lines, 0);
  EXPECT_FALSE(r.shared_copied);
  EXPECT_EQ(Count("H_E_DEPT"), 2u);
  EXPECT_EQ(Rows("H_D_DEPT", [](const Rec& x) { return OfDept(x, "D2"); }).size(), 3u);
  EXPECT_EQ(Rows("H_E_TIP", [](const Rec& x) { return OfDept(x, "D2"); }).size(), 3u);
  EXPECT_EQ(Rows("H_TIP_PL", [](const Rec& x) { return OfDept(x, "D2"); }).size(), 1u);
  EXPECT_EQ(Count("H_E_PERS"), 2u);
  // Schedules and transfer types once per department; cost tables and
  // groups once per business and date.
  EXPECT_EQ(Rows("H_TIEM_E", [](const Rec& x) { return OfDept(x, "D2"); }).size(), 2u);
  EXPECT_EQ(Rows("H_TIP_TR", [](const Rec& x) { return OfDept(x, "D2"); }).size(), 1u);
  EXPECT_EQ(Count("H_E_COST"), 1u);
  EXPECT_EQ(Count("H_D_COST"), 2u);
  EXPECT_EQ(Count("H_GRP_C"), 2u);

  // A group added later reaches the next date's copies, and a later date
  // gets its own cost tables.
  AddRows(bases, "GRP_CMP", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("G3")}}});
  r = Open("D1", kMarch31 + 15);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_TRUE(r.shared_copied);
  EXPECT_EQ(Count("H_E_COST"), 2u);
  EXPECT_EQ(Count("H_GRP_C"), 5u);
  EXPECT_TRUE(CheckHistory().empty());
}

TEST_F(ConsolidationTest, TheSamePayrollTwiceIsRefusedAndNothingIsWritten) {
  ASSERT_TRUE(Open("D1").ok());
  const size_t before = HistoryRows();
  qz::ConsolidationResult again = Open("D1");
  EXPECT_EQ(again.outcome, qz::ConsolidationOutcome::kAlreadyExists);
  EXPECT_EQ(again.message, "Ya existe una planilla para la fecha escogida");
  EXPECT_EQ(again.title, "Error");
  EXPECT_EQ(HistoryRows(), before);
  qz::ShowConsolidationResult(again);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Ya existe una planilla para la fecha escogida"});
  // The department's row is free again for its screen and the next opening.
  auto dept = xb::Table::Open(bases + "/ENC_DEPT.DBF");
  ASSERT_TRUE(dept.ok());
  EXPECT_TRUE((*dept)->LockRecord(1).ok());
}

TEST_F(ConsolidationTest, AMissingDefinitionStopsBeforeAnythingIsWrittenAndIsNamed) {
  AddRows(bases, "DET_DEPT", {{{"NEGOCIO", C(kBiz)}, {"DEPTO", C("D1")}, {"TIPO", C("02")},
                               {"COD_COLUMN", C("ZZ")}}});
  qz::ConsolidationResult r = Open("D1");
  EXPECT_EQ(r.outcome, qz::ConsolidationOutcome::kMissingDefinition);
  EXPECT_NE(r.message.find("\"ZZ\""), std::string::npos) << r.message;
  EXPECT_EQ(HistoryRows(), 0u);

  // An employee's value row whose column type is gone names the employee.
  AddRows(bases, "DET_PERS", {{{"NEGOCIO", C(kBiz)}, {"CODIGO", C("B2")},
                               {"COD_COLUMN", C("XX")}}});
  r = Open("D2");  // D2's own columns all exist, its employee is retired
  EXPECT_TRUE(r.ok()) << r.message;
  auto dept = xb::Table::Open(bases + "/ENC_DEPT.DBF");
  ASSERT_TRUE(dept.ok());
  // Payroll type: D1 switched to a type that does not exist.
  ASSERT_TRUE((*dept)->GoTo(1).ok());
  ASSERT_TRUE((*dept)->LockRecord(1).ok());
  ASSERT_TRUE((*dept)->Put("TIPO", xb::Value::Char("Q")).ok());
  ASSERT_TRUE((*dept)->WriteBack().ok());
  ASSERT_TRUE((*dept)->UnlockAll().ok());
  r = Open("D1", kMarch31 + 1);
  EXPECT_EQ(r.outcome, qz::ConsolidationOutcome::kMissingDefinition);
  EXPECT_NE(r.message.find("tipo de planilla \"Q\""), std::string::npos) << r.message;
  EXPECT_NE(r.message.find("\"XX\" del empleado B2 Beto Solís"), std::string::npos)
      << r.message;
  EXPECT_EQ(Count("H_E_DEPT"), 1u);  // D2's only
}

TEST_F(ConsolidationTest, AnEmployeeHeldByAnotherUserIsNamedAndNothingIsWritten) {
  AddEmployees("D1", 998, 450000);  // 1,000 active employees
  // Another workstation holds the 700th employee (in ENC_PERS order).
  auto other = xb::Table::Open(bases + "/ENC_PERS.DBF");
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->SetOrder("ENC_PERS").ok());
  ASSERT_TRUE((*other)->GoTop().ok());
  for (int i = 1; i < 700; ++i) ASSERT_TRUE((*other)->Skip(1).ok());
  const uint32_t held = (*other)->RecNo();
  std::string code = (*other)->Get("CODIGO")->str();
  code.erase(code.find_last_not_of(' ') + 1);
  ASSERT_TRUE((*other)->LockRecord(held).ok());

  qz::ConsolidationResult r = Open("D1");
  EXPECT_EQ(r.outcome, qz::ConsolidationOutcome::kLockedEmployees);
  EXPECT_NE(r.message.find(code + " Empleado " + code), std::string::npos) << r.message;
  EXPECT_EQ(r.title, "Alerta");
  EXPECT_EQ(HistoryRows(), 0u);

  // Once the other user lets go, the opening takes all 1,000.
  ASSERT_TRUE((*other)->UnlockAll().ok());
  r = Open("D1");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.lines, 1000);
  EXPECT_EQ(Count("H_E_PERS"), 1000u);
  EXPECT_EQ(Count("H_D_PERS"), 3000u);
  EXPECT_TRUE(CheckHistory().empty());
}

TEST_F(ConsolidationTest, ACancelUndoesEverythingWritten) {
  AddEmployees("D1", 50, 450000);
  qz::ConsolidationRequest req;
  req.negocio = "HOTEL CENTRAL";
  req.depto = "D1";
  req.fecha = kMarch31;
  int64_t seen_total = 0;
  req.progress = [&](int64_t done, int64_t total) {
    seen_total = total;
    return done < 30;
  };
  qz::ConsolidationResult r = qz::ConsolidatePayroll(req);
  EXPECT_EQ(r.outcome, qz::ConsolidationOutcome::kCancelled);
  EXPECT_EQ(seen_total, 54);  // definitions, 52 employees, shared rows
  EXPECT_EQ(HistoryRows(), 0u);
  EXPECT_TRUE(CheckHistory().empty());
  EXPECT_TRUE(Open("D1").ok());
}

TEST_F(ConsolidationTest, AnUnknownDepartmentOrNoDateIsRefused) {
  EXPECT_EQ(Open("NOPE").outcome, qz::ConsolidationOutcome::kNoDepartment);
  EXPECT_EQ(Open("D1", 0).outcome, qz::ConsolidationOutcome::kInvalidDate);
  EXPECT_EQ(HistoryRows(), 0u);
}

}  // namespace
}  // namespace qztest
