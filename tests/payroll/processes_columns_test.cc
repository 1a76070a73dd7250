// Columns on past payrolls and on the current definitions: adding a
// department's columns to its payrolls in a date range, adding a column to
// departments and their employees, and raising a column's values with the
// hourly costs that follow; each run all or nothing.
#include <gtest/gtest.h>
#include <chrono>
#include <thread>

#include "payroll/processes/add_col.h"
#include "payroll/processes/add_col4.h"
#include "payroll/processes/recalc_c.h"
#include "processes_fixture.h"
#include "support/other_workstation.h"

namespace {

using qz::ADD_COL;
using qz::ADD_COL4;
using qz::RECALC_C;
using qztest::kHc;

class AddColTest : public qztest::ProcessSession {
 protected:
  ADD_COL* Open(const std::string& desde, const std::string& hasta) {
    auto* s = qz::OpenScreen<ADD_COL>(desktop, "ADD_COL", kHc);
    EXPECT_NE(s, nullptr);
    ui.Type(s, ADD_COL::kDesde, desde);
    ui.Type(s, ADD_COL::kHasta, hasta);
    Choose(*s->tree(), "D1");
    return s;
  }
};

TEST_F(AddColTest, ThePayrollsInTheRangeGetTheColumnTheirLinesAndTheTypeCopy) {
  ADD_COL* s = Open("01/01/26", "20/01/26");
  const auto& entries = s->Control(ADD_COL::kColumnas)->entries;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, "SALARIO");
  EXPECT_EQ(entries[1].text, "HORAS EXTRA");
  ASSERT_TRUE(s->UserSelect(ADD_COL::kColumnas, "HORAS EXTRA", true));
  ui.Press(s, ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  // Only the payroll of 15/01 is inside the range.
  EXPECT_EQ(Rows("H_D_DEPT", {{"COD_COLUMN", "02"}}).size(), 1u);
  EXPECT_EQ(Num("H_D_DEPT", {{"COD_COLUMN", "02"}}, "ORDEN"), 2);
  ASSERT_EQ(Rows("H_E_TIP", {{"CODIGO", "02"}, {"DEPTO", "D1"}}).size(), 1u);
  // The copy is marked informative and keeps the type's own amounts.
  EXPECT_EQ(Num("H_E_TIP", {{"CODIGO", "02"}}, "INFO"), 1);
  EXPECT_EQ(Num("H_E_TIP", {{"CODIGO", "02"}}, "VALOR"), 15);
  EXPECT_EQ(Num("H_E_TIP", {{"CODIGO", "02"}}, "VALOR_3"), 1.5);
  EXPECT_EQ(Rows("H_D_PERS", {{"COD_COLUMN", "02"}}).size(), 2u);
  EXPECT_EQ(Num("H_D_PERS", {{"CODIGO", "E2"}}, "VALOR_1"), 0);
  EXPECT_TRUE(Rows("H_D_PER2", {}).empty());
}

TEST_F(AddColTest, AColumnAPayrollHasIsReportedAndTheOthersStillAdded) {
  ADD_COL* s = Open("01/01/26", "31/12/26");
  s->UserSelect(ADD_COL::kColumnas, "SALARIO", true);
  s->UserSelect(ADD_COL::kColumnas, "HORAS EXTRA", true);
  ui.Press(s, ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"La planilla COCINA de la fecha 15/01/26\r\n ya tiene la columna",
                                      "La planilla COCINA de la fecha 31/01/26\r\n ya tiene la columna",
                                      "Fin de Proceso"}));
  EXPECT_EQ(Rows("H_D_DEPT", {{"COD_COLUMN", "02"}}).size(), 2u);
  EXPECT_EQ(Rows("H_D_PERS", {}).size(), 4u);
  // Run again: every payroll has both columns now; nothing is added twice.
  ui.Press(s, ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts().size(), 5u);
  EXPECT_EQ(Rows("H_D_DEPT", {{"COD_COLUMN", "02"}}).size(), 2u);
  EXPECT_EQ(Rows("H_E_TIP", {}).size(), 2u);
  EXPECT_EQ(Rows("H_D_PERS", {}).size(), 4u);
}

TEST_F(AddColTest, MissingChoicesAreRefusedAndAnEmptyRangeWritesNothing) {
  auto* s = qz::OpenScreen<ADD_COL>(desktop, "ADD_COL", kHc);
  ui.Press(s, ADD_COL::kAceptar);
  Choose(*s->tree(), "D1");
  ui.Press(s, ADD_COL::kAceptar);
  s->UserSelect(ADD_COL::kColumnas, "HORAS EXTRA", true);
  ui.Press(s, ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{ADD_COL::kNoDepartment, ADD_COL::kNoColumns,
                                      ADD_COL::kBadRange}));
  ui.Type(s, ADD_COL::kDesde, "01/03/26");
  ui.Type(s, ADD_COL::kHasta, "31/03/26");
  ui.Press(s, ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Count("H_D_DEPT"), 2u);
  EXPECT_EQ(Count("H_E_TIP"), 0u);
}

TEST_F(AddColTest, AnAppendRefusedHalfWayLeavesEveryPayrollAsItWas) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  ADD_COL* s = Open("01/01/26", "31/12/26");
  s->UserSelect(ADD_COL::kColumnas, "HORAS EXTRA", true);
  // Another workstation holds the value rows' table: the payroll column and
  // the type copy are written, the lines cannot be.
  auto other = xb::Table::Open(file("H_D_PERS.DBF"));
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockFile().ok());
  ui.Press(s, ADD_COL::kAceptar);
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());  // no "Fin de Proceso"
  EXPECT_EQ(Count("H_D_DEPT"), 2u);
  EXPECT_EQ(Count("H_E_TIP"), 0u);
  EXPECT_EQ(Count("LOG_ROLL"), 1u);
  // Once the table is free the same choice runs whole.
  (*other)->UnlockAll();
  ui.Press(s, ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Count("H_D_PERS"), 4u);
}

TEST_F(AddColTest, TwoWorkstationsAddingTheSameColumnAtOnceAddItOnce) {
  ADD_COL* s = Open("01/01/26", "31/12/26");
  ASSERT_TRUE(s->UserSelect(ADD_COL::kColumnas, "HORAS EXTRA", true));
  // Another program holds the payroll columns' table for a moment, so the
  // other workstation, having found that the payroll of 15/01 lacks the
  // column, stands waiting to add it.
  auto holder = xb::Table::Open(file("H_D_DEPT.DBF"));
  ASSERT_TRUE(holder.ok());
  ASSERT_TRUE((*holder)->LockFile().ok());
  qztest::RacingWorkstation other;
  other.Start(inst.root, [](const std::function<void()>& ready) {
    qz::HeadlessUi ws;
    auto* o = qz::OpenScreen<ADD_COL>(ws.desktop(), "ADD_COL", kHc);
    if (!o) return 91;
    o->UserType(ADD_COL::kDesde, "01/01/26");
    o->UserType(ADD_COL::kHasta, "31/12/26");
    Choose(*o->tree(), "D1");
    if (!o->UserSelect(ADD_COL::kColumnas, "HORAS EXTRA", true)) return 92;
    ready();
    o->UserPress(ADD_COL::kAceptar);
    return ws.TakeBoxTexts() == std::vector<std::string>{"Fin de Proceso"} ? 0 : 94;
  });
  // The other workstation is inside its run once it holds the payroll.
  auto header = xb::Table::Open(file("H_E_DEPT.DBF"));
  ASSERT_TRUE(header.ok());
  for (int i = 0; i < 300; ++i) {
    if ((*header)->LockRecord(1).IsBusy()) break;
    (void)(*header)->UnlockRecord(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // The table is free again and this workstation runs the same choice at
  // once, waiting on the real clock as a user would.
  qz::SetClock(nullptr);
  (void)(*holder)->UnlockAll();
  ui.Press(s, ADD_COL::kAceptar);
  qz::SetClock(&clock);
  EXPECT_EQ(other.Wait(), 0);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"La planilla COCINA de la fecha 15/01/26\r\n ya tiene la columna",
                                      "La planilla COCINA de la fecha 31/01/26\r\n ya tiene la columna",
                                      "Fin de Proceso"}));
  EXPECT_EQ(Rows("H_D_DEPT", {{"COD_COLUMN", "02"}}).size(), 2u);
  EXPECT_EQ(Rows("H_E_TIP", {{"CODIGO", "02"}}).size(), 2u);
  EXPECT_EQ(Rows("H_D_PERS", {{"COD_COLUMN", "02"}}).size(), 4u);
}

class AddCol4Test : public qztest::ProcessSession {};

TEST_F(AddCol4Test, EveryEmployeeOfTheMarkedDepartmentsGetsTheColumnOnce) {
  auto* s = qz::OpenScreen<ADD_COL4>(desktop, "ADD_COL4", kHc);
  ASSERT_NE(s, nullptr);
  ui.Press(s, ADD_COL4::kAceptar);
  s->UserChoose(ADD_COL4::kColumna, "COMISION");
  ui.Press(s, ADD_COL4::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{ADD_COL4::kNoColumn, ADD_COL4::kNoItems}));
  ui.Press(s, ADD_COL4::kMarcarTodos);
  ui.Click(s, ADD_COL4::kDeduccion);
  ui.Press(s, ADD_COL4::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  // After each department's last column, in the chosen category.
  EXPECT_EQ(Num("DET_DEPT", {{"DEPTO", "D1"}, {"COD_COLUMN", "03"}}, "CODIGO"), 3);
  EXPECT_EQ(Num("DET_DEPT", {{"DEPTO", "D1"}, {"COD_COLUMN", "03"}}, "ORDEN"), 3);
  EXPECT_EQ(Num("DET_DEPT", {{"DEPTO", "D2"}, {"COD_COLUMN", "03"}}, "ORDEN"), 2);
  EXPECT_EQ(Rows("DET_DEPT", {{"COD_COLUMN", "03"}, {"TIPO", "02"}}).size(), 2u);
  // The inactive E3 too.
  EXPECT_EQ(Rows("DET_PERS", {{"COD_COLUMN", "03"}}).size(), 4u);
  EXPECT_EQ(Valor("E3", "03"), 0);
  ui.Press(s, ADD_COL4::kAceptar);
  ui.TakeBoxTexts();
  EXPECT_EQ(Rows("DET_DEPT", {{"COD_COLUMN", "03"}}).size(), 2u);
  EXPECT_EQ(Rows("DET_PERS", {{"COD_COLUMN", "03"}}).size(), 4u);
}

TEST_F(AddCol4Test, AColumnFollowingTheHourlyCostStartsWithIt) {
  auto* s = qz::OpenScreen<ADD_COL4>(desktop, "ADD_COL4", kHc);
  s->UserChoose(ADD_COL4::kColumna, "FERIADOS");
  Choose(*s->tree(), "D1");
  ui.Press(s, ADD_COL4::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  // 120,000 / 30 / 8 x 2; the inactive E3 from its 90,000.
  EXPECT_NEAR(Factor("E1", "05"), 1000, 1e-6);
  EXPECT_NEAR(Factor("E2", "05"), 2000, 1e-6);
  EXPECT_NEAR(Factor("E3", "05"), 750, 1e-6);
  // The other dependent columns are left alone.
  EXPECT_EQ(Factor("E1", "02"), 7);
}

class RecalcCTest : public qztest::ProcessSession {
 protected:
  RECALC_C* Raise(const std::string& column, const std::string& percent,
                  const std::vector<std::string>& depts = {"D1"}) {
    auto* s = qz::OpenScreen<RECALC_C>(desktop, "RECALC_C", kHc);
    EXPECT_NE(s, nullptr);
    s->UserChoose(RECALC_C::kColumna, column);
    ui.Type(s, RECALC_C::kIncremento, percent);
    for (const auto& d : depts) Choose(*s->tree(), d);
    ui.Press(s, RECALC_C::kAceptar);
    return s;
  }
};

TEST_F(RecalcCTest, ABaseColumnRaisedCarriesTheHourlyCostsOfItsEmployees) {
  Raise("SALARIO", "10");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_NEAR(Valor("E1", "01"), 132000, 1e-6);
  EXPECT_NEAR(Valor("E2", "01"), 264000, 1e-6);
  EXPECT_NEAR(Factor("E1", "02"), 825, 1e-6);  // 132,000 / 30 / 8 x 1.5
  EXPECT_NEAR(Factor("E2", "02"), 1650, 1e-6);
  // Inactive, or in a department not marked: untouched.
  EXPECT_EQ(Valor("E3", "01"), 90000);
  EXPECT_EQ(Factor("E3", "02"), 7);
  EXPECT_EQ(Valor("E4", "01"), 60000);
}

TEST_F(RecalcCTest, RaisesCompoundAndARaiseOfZeroStillRecomputes) {
  Raise("SALARIO", "0");
  EXPECT_EQ(Valor("E1", "01"), 120000);
  EXPECT_NEAR(Factor("E1", "02"), 750, 1e-6);
  ui.desktop().CloseAll();
  Raise("SALARIO", "10");
  ui.desktop().CloseAll();
  Raise("SALARIO", "10");
  EXPECT_NEAR(Valor("E1", "01"), 145200, 1e-6);  // + 21 %
}

TEST_F(RecalcCTest, NonBaseColumnsAndDepartmentsWithoutTheColumn) {
  // A raise of a dependent column in D2, which does not have it: nothing.
  Raise("HORAS EXTRA", "50", {"D2"});
  EXPECT_EQ(Valor("E1", "02"), 10);
  ui.desktop().CloseAll();
  // In D1 the values rise and the factors stay.
  Raise("HORAS EXTRA", "50");
  EXPECT_EQ(Valor("E1", "02"), 15);
  EXPECT_EQ(Factor("E1", "02"), 7);
}

TEST_F(RecalcCTest, AnEmployeeWithoutBaseKeepsTheOldHourlyCost) {
  Set("DET_PERS", {{"CODIGO", "E1"}, {"COD_COLUMN", "01"}}, "VALOR_1", xb::Value::Number(0));
  Raise("SALARIO", "10");
  EXPECT_EQ(Factor("E1", "02"), 7);
  EXPECT_NEAR(Factor("E2", "02"), 1650, 1e-6);
}

TEST_F(RecalcCTest, ARowHeldByAnotherWorkstationTakesTheWholeRaiseBack) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  auto other = xb::Table::Open(file("DET_PERS.DBF"));
  ASSERT_TRUE((*other)->LockRecord(Rows("DET_PERS", {{"CODIGO", "E2"}, {"COD_COLUMN", "01"}})
                                       .front())
                  .ok());
  RECALC_C* s = Raise("SALARIO", "10");
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Valor("E1", "01"), 120000);
  EXPECT_EQ(Factor("E1", "02"), 7);
  (*other)->UnlockAll();
  ui.Press(s, RECALC_C::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_NEAR(Valor("E1", "01"), 132000, 1e-6);
  EXPECT_NEAR(Valor("E2", "01"), 264000, 1e-6);
}

}  // namespace
