// The process windows as a user walks them while another workstation works
// on the same business: what the window listed changes or goes under it, the
// user types and presses on, cancels a run half-way or sees another
// workstation die in the middle of one.
#include <gtest/gtest.h>

#include "lib/payroll/consolidation.h"
#include "lib/ui/browse.h"
#include "payroll/processes/add_col.h"
#include "payroll/processes/add_col4.h"
#include "payroll/processes/asig_jor.h"
#include "payroll/processes/employee_amount.h"
#include "payroll/processes/init_pla.h"
#include "payroll/processes/recalc_c.h"
#include "processes_fixture.h"
#include "support/other_workstation.h"

namespace {

using qztest::kHc;

class ProcessWalks : public qztest::ProcessSession {
 protected:
  // Deletes the rows of `table` matching, as another workstation would.
  void Remove(const std::string& table,
              const std::vector<std::pair<std::string, std::string>>& match) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    ASSERT_TRUE(t.ok());
    for (uint32_t r : Rows(table, match)) {
      ASSERT_TRUE((*t)->GoTo(r).ok());
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Delete().ok());
      (*t)->Flush();
      (*t)->UnlockAll();
    }
  }
  double Amount(const std::string& emp) { return Num("ENC_PERS", {{"CODIGO", emp}}, "TOT_SAL"); }
  void AddOpeningTables() {
    for (const char* t : {"DET_DEP2", "DET_DEP3", "DET_PER2", "DET_PER3", "TIP_TRAN", "E_COSTO",
                          "D_COSTO", "GRP_CMP", "H_D_DEP2", "H_D_DEP3", "H_CONJ_C", "H_D_PER3",
                          "H_TIP_TR", "H_E_COST", "H_D_COST", "H_GRP_C"})
      Create(t);
  }
};

TEST_F(ProcessWalks, AColumnTakenOutOfTheDepartmentAfterItWasListedIsNotAdded) {
  auto* s = qz::OpenScreen<qz::ADD_COL>(desktop, "ADD_COL", kHc);
  ASSERT_NE(s, nullptr);
  ui.Type(s, qz::ADD_COL::kDesde, "01/01/26");
  ui.Type(s, qz::ADD_COL::kHasta, "31/12/26");
  Choose(*s->tree(), "D1");
  ASSERT_TRUE(s->UserSelect(qz::ADD_COL::kColumnas, "HORAS EXTRA", true));
  // Another workstation takes HORAS EXTRA out of the kitchen.
  Remove("DET_DEPT", {{"DEPTO", "D1"}, {"COD_COLUMN", "02"}});
  ui.Press(s, qz::ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{qz::ADD_COL::NoLongerInDepartment("02"),
                                                         "Fin de Proceso"}));
  // No value rows or type copies of a column the payrolls do not list.
  EXPECT_TRUE(Rows("H_D_PERS", {{"COD_COLUMN", "02"}}).empty());
  EXPECT_TRUE(Rows("H_E_TIP", {{"CODIGO", "02"}}).empty());
  // The list shows the department as it is now.
  ASSERT_EQ(s->Control(qz::ADD_COL::kColumnas)->entries.size(), 1u);
  ui.Press(s, qz::ADD_COL::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::ADD_COL::kNoColumns});
  EXPECT_TRUE(Rows("H_D_PERS", {{"COD_COLUMN", "02"}}).empty());
}

TEST_F(ProcessWalks, AScheduleOrColumnTypeDeletedAfterItWasListedIsRefused) {
  auto* jor = qz::OpenScreen<qz::ASIG_JOR>(desktop, "ASIG_JOR", kHc);
  ASSERT_NE(jor, nullptr);
  ASSERT_TRUE(jor->UserChoose(qz::ASIG_JOR::kJornada, "MEDIO TIEMPO"));
  Choose(*jor->tree(), "D1");
  Remove("TIEMPO_E", {{"CODIGO", "04"}});
  ui.Press(jor, qz::ASIG_JOR::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::ASIG_JOR::kScheduleGone});
  // Nobody was given the missing schedule, no factor was zeroed.
  EXPECT_TRUE(Rows("ENC_PERS", {{"COD_TIEMPO", "04"}}).empty());
  EXPECT_EQ(Factor("E1", "02"), 7);
  EXPECT_EQ(jor->Control(qz::ASIG_JOR::kJornada)->entries.size(), 1u);

  auto* col4 = qz::OpenScreen<qz::ADD_COL4>(desktop, "ADD_COL4", kHc);
  ASSERT_NE(col4, nullptr);
  ASSERT_TRUE(col4->UserChoose(qz::ADD_COL4::kColumna, "COMISION"));
  Choose(*col4->tree(), "D2");
  Remove("ENC_TIP", {{"CODIGO", "03"}});
  ui.Press(col4, qz::ADD_COL4::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::ADD_COL4::kColumnGone});
  EXPECT_TRUE(Rows("DET_DEPT", {{"COD_COLUMN", "03"}}).empty());
  EXPECT_TRUE(Rows("DET_PERS", {{"COD_COLUMN", "03"}}).empty());
}

TEST_F(ProcessWalks, AnAmountTypedForAnEmployeeAnotherWorkstationRemovedIsToldAndNotWritten) {
  auto* s = qz::OpenScreen<qz::INIT_PLA>(desktop, "INIT_PLA", kHc);
  ASSERT_NE(s, nullptr);
  Choose(*s->tree(), "D1");
  ASSERT_EQ(s->grid()->RowCount(), 2);
  Set("ENC_PERS", {{"CODIGO", "E1"}}, "ACTIVO", xb::Value::Number(0));
  Remove("ENC_PERS", {{"CODIGO", "E2"}});
  EXPECT_FALSE(s->grid()->EditCell(0, qz::INIT_PLA::kTotSalColumn, "500"));
  EXPECT_FALSE(s->grid()->EditCell(1, qz::INIT_PLA::kTotSalColumn, "600"));
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{qz::EmployeeGone("ANA MORA"),
                                                         qz::EmployeeGone("LUIS SOLIS")}));
  EXPECT_EQ(Amount("E1"), 0);
  // The deleted employee stays deleted.
  EXPECT_TRUE(Rows("ENC_PERS", {{"CODIGO", "E2"}}).empty());
  ASSERT_TRUE(s->grid()->Reread().ok());
  EXPECT_EQ(s->grid()->RowCount(), 0);
}

TEST_F(ProcessWalks, AnOpeningCancelledHalfWayLeavesNothingAndTheNextRunOpensIt) {
  AddOpeningTables();
  auto* s = qz::OpenScreen<qz::INIT_PLA>(desktop, "INIT_PLA", kHc);
  ASSERT_NE(s, nullptr);
  Choose(*s->tree(), "D1");
  ASSERT_TRUE(s->grid()->EditCell(0, qz::INIT_PLA::kTotSalColumn, "1000"));
  ui.Type(s, qz::INIT_PLA::kFecha, "15/02/26");
  ui.CancelWaitAt(1);
  ui.Press(s, qz::INIT_PLA::kConsolidar);
  ui.TakeBoxTexts();
  EXPECT_EQ(Count("H_E_DEPT"), 2u);
  EXPECT_EQ(Rows("H_E_PERS", {{"DEPTO", "D1"}}).size(), 4u);
  ui.CancelWaitAt(-1);
  ui.Press(s, qz::INIT_PLA::kConsolidar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Count("H_E_DEPT"), 3u);
  EXPECT_EQ(Rows("H_E_PERS", {{"DEPTO", "D1"}}).size(), 6u);
}

TEST_F(ProcessWalks, AnOpeningKilledHalfWayIsOpenedWholeByARunningWorkstation) {
  AddOpeningTables();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const int32_t fecha = xb::JulianFromYmd(2026, 2, 15);
  pid_t child = fork();
  if (child == 0) {
    // Another workstation opens the kitchen's payroll and dies after the
    // definitions and the first employee.
    qztest::BecomeAnotherWorkstation(inst.root);
    qz::ConsolidationRequest r;
    r.negocio = kHc;
    r.depto = "D1";
    r.fecha = fecha;
    r.progress = [&](int64_t done, int64_t) {
      if (done == 2) qztest::StopHereForGood(fds[1]);
      return true;
    };
    (void)qz::ConsolidatePayroll(r);
    _exit(93);
  }
  ASSERT_NO_FATAL_FAILURE(qztest::KillWhenStopped(child, fds));
  {
    // The dead workstation's header is in the file, uncommitted.
    auto h = xb::Table::Open(file("H_E_DEPT.DBF"));
    ASSERT_TRUE(h.ok());
    EXPECT_EQ(*(*h)->RecCount(), 3u);
  }

  auto* s = qz::OpenScreen<qz::INIT_PLA>(desktop, "INIT_PLA", kHc);
  ASSERT_NE(s, nullptr);
  Choose(*s->tree(), "D1");
  ui.Type(s, qz::INIT_PLA::kFecha, "15/02/26");
  ui.Press(s, qz::INIT_PLA::kConsolidar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  desktop.CloseAll();
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start ? "after the next program start" : "at once");
    EXPECT_EQ(Count("H_E_DEPT"), 3u);
    EXPECT_EQ(Rows("H_E_PERS", {{"DEPTO", "D1"}}).size(), 6u);
    if (start == 0) {
      ASSERT_EQ(inst.Start(), qz::StartResult::kContinue);
    }
  }
}

// A window system that stops the process for good when its waiting window
// shows `text`, after telling the test through `report`.
class StoppingUi : public qz::HeadlessUi {
 public:
  StoppingUi(std::string text, int report) : text_(std::move(text)), report_(report) {}
  void WaitShown(int id, const std::string& text) override {
    if (text == text_) qztest::StopHereForGood(report_);
    HeadlessUi::WaitShown(id, text);
  }

 private:
  std::string text_;
  int report_;
};

TEST_F(ProcessWalks, ARaiseKilledHalfWayAndRunAgainByARunningWorkstationRaisesEachOnce) {
  // The trees list the departments by description: BAR before COCINA.
  Set("F_PLAN", {}, "ORDEN_TREE", xb::Value::Number(1));
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = fork();
  if (child == 0) {
    // Another workstation: raises the bar and the kitchen (in the tree's
    // order), and dies once the bar is done.
    qztest::BecomeAnotherWorkstation(inst.root);
    auto* other = new StoppingUi("Departamento : COCINA", fds[1]);
    auto* s = qz::OpenScreen<qz::RECALC_C>(other->desktop(), "RECALC_C", kHc);
    if (!s || !s->UserChoose(qz::RECALC_C::kColumna, "SALARIO")) _exit(91);
    s->UserType(qz::RECALC_C::kIncremento, "10");
    Choose(*s->tree(), "D1");
    Choose(*s->tree(), "D2");
    s->UserPress(qz::RECALC_C::kAceptar);
    _exit(93);
  }
  ASSERT_NO_FATAL_FAILURE(qztest::KillWhenStopped(child, fds));
  // The dead workstation's half raise is in the file.
  EXPECT_NEAR(Valor("E4", "01"), 66000, 1e-6);
  EXPECT_NEAR(Valor("E1", "01"), 120000, 1e-6);

  // This workstation was running all along and raises the same departments.
  auto* s = qz::OpenScreen<qz::RECALC_C>(desktop, "RECALC_C", kHc);
  ASSERT_NE(s, nullptr);
  ASSERT_TRUE(s->UserChoose(qz::RECALC_C::kColumna, "SALARIO"));
  ui.Type(s, qz::RECALC_C::kIncremento, "10");
  Choose(*s->tree(), "D1");
  Choose(*s->tree(), "D2");
  ui.Press(s, qz::RECALC_C::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  desktop.CloseAll();
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start ? "after the next program start" : "at once");
    EXPECT_NEAR(Valor("E1", "01"), 132000, 1e-6);
    EXPECT_NEAR(Valor("E2", "01"), 264000, 1e-6);
    EXPECT_NEAR(Valor("E4", "01"), 66000, 1e-6);
    EXPECT_NEAR(Valor("E3", "01"), 90000, 1e-6);  // inactive
    // The next start of the program finds nothing of the dead run to undo
    // over this workstation's raise.
    if (start == 0) {
      ASSERT_EQ(inst.Start(), qz::StartResult::kContinue);
    }
  }
}

}  // namespace
