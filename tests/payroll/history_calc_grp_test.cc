// Recomputing the group totals of past payrolls: the departments of the
// chosen payroll type, a range of dates, the totals from the current column
// types' groups, and a run stopped half-way that leaves the history whole.
#include <gtest/gtest.h>

#include "lib/data/date_time.h"
#include "payroll/history/calc_grp.h"
#include "processes_fixture.h"

namespace {

using qz::CALC_GRP;
using qztest::C;
using qztest::kHc;
using qztest::N;

class CalcGrpTest : public qztest::ProcessSession {
 protected:
  void SetUp() override {
    ProcessSession::SetUp();
    Set("TIP_PLA", {{"CODIGO", "M"}}, "DESCRIP", C("MENSUAL"));
    Set("TIP_PLA", {{"CODIGO", "Z"}}, "DESCRIP", C("ZETA"));
    // Salary in group 2; overtime (hours x hourly cost) in groups 1 and 3.
    Set("ENC_TIP", {{"CODIGO", "01"}}, "AGRUPAR2", N(1));
    Set("ENC_TIP", {{"CODIGO", "02"}}, "AGRUPAR1", N(1));
    Set("ENC_TIP", {{"CODIGO", "02"}}, "AGRUPAR3", N(1));
    Set("ENC_TIP", {{"CODIGO", "02"}}, "FACTOR", N(1));
    for (const char* c : {"01", "02"}) Set("ENC_TIP", {{"CODIGO", c}}, "FACTOR_2", N(1));
    std::vector<qztest::Row> values;
    for (auto fecha : {qztest::Day(2026, 1, 15), qztest::Day(2026, 1, 31)})
      for (const auto& [emp, base, hours] :
           std::vector<std::tuple<const char*, double, double>>{{"E1", 120000, 10}, {"E2", 240000, 4}}) {
        values.push_back({{"NEGOCIO", C(kHc)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C("01")},
                          {"VALOR_1", N(base)}, {"FECHA", fecha}});
        values.push_back({{"NEGOCIO", C(kHc)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C("02")},
                          {"VALOR_1", N(hours)}, {"FACTOR", N(700)}, {"FECHA", fecha}});
      }
    qztest::AddRows(bases, "H_D_PERS", values);
  }
  CALC_GRP* Open() {
    auto* s = qz::OpenScreen<CALC_GRP>(desktop, "CALC_GRP", kHc);
    EXPECT_NE(s, nullptr);
    return s;
  }
  // TOT_GRUPOn of the employee's line of the payroll dated `fecha` (dd/mm/yy).
  double Group(const std::string& emp, const std::string& fecha, int n) {
    auto t = xb::Table::Open(file("H_E_PERS.DBF"));
    for (uint32_t r : Rows("H_E_PERS", {{"CODIGO", emp}})) {
      (*t)->GoTo(r);
      if (qz::DateText((*t)->Get("FECHA")->date()) == fecha)
        return (*t)->Get("TOT_GRUPO" + std::to_string(n))->number();
    }
    return NAN;
  }
  uint32_t LineOf(const std::string& emp, const std::string& fecha) {
    auto t = xb::Table::Open(file("H_E_PERS.DBF"));
    for (uint32_t r : Rows("H_E_PERS", {{"CODIGO", emp}})) {
      (*t)->GoTo(r);
      if (qz::DateText((*t)->Get("FECHA")->date()) == fecha) return r;
    }
    return 0;
  }
  std::vector<std::string> Leaves(CALC_GRP* s) {
    std::vector<std::string> out;
    for (const auto& n : s->tree()->root()->children.front()->children) out.push_back(n->text);
    return out;
  }
};

TEST_F(CalcGrpTest, TheTreeHoldsTheActiveDepartmentsOfTheChosenType) {
  qztest::AddRows(bases, "ENC_DEPT", {Dept("D3", "SPA", "Z"), Dept("D4", "ALMACEN", "M")});
  Set("ENC_DEPT", {{"CODIGO", "D4"}}, "INACTIVO", N(1));
  CALC_GRP* s = Open();
  EXPECT_EQ(s->Control(CALC_GRP::kTipo)->current, 0);
  // In code order unless the parameters ask for descriptions.
  EXPECT_EQ(Leaves(s), (std::vector<std::string>{"COCINA", "BAR"}));
  ASSERT_TRUE(s->UserChoose(CALC_GRP::kTipo, "ZETA"));
  EXPECT_EQ(Leaves(s), std::vector<std::string>{"SPA"});
  ui.desktop().CloseAll();
  Set("F_PLAN", {}, "ORDEN_TREE", N(1));
  s = Open();
  EXPECT_EQ(Leaves(s), (std::vector<std::string>{"BAR", "COCINA"}));
}

TEST_F(CalcGrpTest, TheLinesInTheRangeTakeTheirGroupTotalsAndTheWindowCloses) {
  CALC_GRP* s = Open();
  ui.Type(s, CALC_GRP::kDesde, "01/01/26");
  ui.Type(s, CALC_GRP::kHasta, "20/01/26");
  Choose(*s->tree(), "D1");
  ui.Press(s, CALC_GRP::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(ui.wait_texts().front(), "Procesando Datos.");
  EXPECT_TRUE(desktop.windows().empty());
  EXPECT_EQ(Group("E1", "15/01/26", 1), 7000);  // 10 h x 700
  EXPECT_EQ(Group("E1", "15/01/26", 2), 120000);
  EXPECT_EQ(Group("E1", "15/01/26", 3), 7000);
  EXPECT_EQ(Group("E1", "15/01/26", 4), 0);
  EXPECT_EQ(Group("E2", "15/01/26", 1), 2800);
  EXPECT_EQ(Group("E2", "15/01/26", 2), 240000);
  // Outside the range: as it was.
  EXPECT_EQ(Group("E1", "31/01/26", 2), 0);
}

TEST_F(CalcGrpTest, ADeductionADividedColumnAndAMissingTypeCountAsTheirDefinitionsSay) {
  // Overtime becomes a deduction; the salary is divided over the type's two
  // payrolls a month; a value of a type that no longer exists adds nothing.
  Set("ENC_TIP", {{"CODIGO", "02"}}, "FACTOR_2", N(0));
  Set("ENC_TIP", {{"CODIGO", "01"}}, "DIVIDIR", N(1));
  Set("TIP_PLA", {{"CODIGO", "M"}}, "CANTIDAD", N(2));
  Set("H_E_DEPT", {}, "TIPO", C("M"));
  qztest::AddRows(bases, "H_D_PERS",
                  {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"COD_COLUMN", C("77")},
                    {"VALOR_1", N(5)}, {"FECHA", qztest::Day(2026, 1, 31)}}});
  CALC_GRP* s = Open();
  ui.Press(s, CALC_GRP::kMarcarTodos);
  ui.Press(s, CALC_GRP::kAceptar);  // both dates empty: every payroll
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  for (const char* fecha : {"15/01/26", "31/01/26"}) {
    EXPECT_EQ(Group("E1", fecha, 1), -7000);
    EXPECT_EQ(Group("E1", fecha, 2), 60000);
  }
}

TEST_F(CalcGrpTest, NoDepartmentOrABadRangeIsRefusedAndNothingWritten) {
  CALC_GRP* s = Open();
  ui.Press(s, CALC_GRP::kAceptar);
  ui.Type(s, CALC_GRP::kDesde, "31/01/26");
  ui.Type(s, CALC_GRP::kHasta, "01/01/26");
  Choose(*s->tree(), "D1");
  ui.Press(s, CALC_GRP::kAceptar);
  ui.Type(s, CALC_GRP::kHasta, "45/01/26");
  ui.Press(s, CALC_GRP::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{CALC_GRP::kNoDepartment,
                                                          CALC_GRP::kBadRange, CALC_GRP::kBadRange}));
  EXPECT_EQ(desktop.windows().size(), 1u);
  EXPECT_EQ(Group("E1", "15/01/26", 2), 0);
}

TEST_F(CalcGrpTest, ALineHeldElsewhereStopsTheRunAndLeavesTheHistoryWhole) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  CALC_GRP* s = Open();
  Choose(*s->tree(), "D1");
  // Another workstation holds E2's line of 15/01: E1's, written before it,
  // must go back.
  auto other = xb::Table::Open(file("H_E_PERS.DBF"));
  ASSERT_TRUE(other.ok());
  const uint32_t held = LineOf("E2", "15/01/26");
  ASSERT_NE(held, 0u);
  ASSERT_TRUE((*other)->LockRecord(held).ok());
  ui.Press(s, CALC_GRP::kAceptar);
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(desktop.windows().size(), 1u);
  for (const char* e : {"E1", "E2"})
    for (const char* f : {"15/01/26", "31/01/26"}) EXPECT_EQ(Group(e, f, 2), 0) << e << f;
  EXPECT_EQ(Count("LOG_ROLL"), 1u);
  // Free again: the same choice runs whole.
  (*other)->UnlockAll();
  ui.Press(s, CALC_GRP::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Group("E1", "15/01/26", 2), 120000);
  EXPECT_EQ(Group("E2", "31/01/26", 2), 240000);
}

}  // namespace
