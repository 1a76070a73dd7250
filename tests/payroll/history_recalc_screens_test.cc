// The windows of the history recalculations as a user drives them: the
// question first, "Fin de Proceso" and the window closing after a commit,
// and a run the user cancels, or that a row another workstation holds
// stops, leaving the history as it was with the window still open for a
// second try.
#include <gtest/gtest.h>

#include "payroll/history/history_recalc_screen.h"
#include "processes_fixture.h"
#include "support/scripted_boxes.h"

namespace {

using qz::HistoryRecalcScreen;
using qz::REC_HIS2;
using qz::REC_HIST;
using qztest::Day;
using qztest::kHc;

class HistoryRecalcScreensTest : public qztest::ProcessSession {
 protected:
  void SetUp() override {
    ProcessSession::SetUp();
    for (const char* t : {"H_D_PER4", "H_D_PER5", "H_D_PER6", "H_D_PER7", "H_D_PER8", "H_D_PER9"})
      Create(t);
    Set("F_PLAN", {}, "SAL_PROM", xb::Value::Number(2));
    Set("H_E_PERS", {{"CODIGO", "E1"}}, "TOT_SAL", xb::Value::Number(2400));
    Set("H_E_PERS", {{"CODIGO", "E2"}}, "TOT_SAL", xb::Value::Number(4800));
    Set("H_E_PERS", {}, "COD_TIEMPO", xb::Value::Char("08"));
    std::vector<qztest::Row> types, schedules, values;
    for (auto fecha : {Day(2026, 1, 15), Day(2026, 1, 31)}) {
      types.push_back({{"NEGOCIO", qztest::C(kHc)}, {"DEPTO", qztest::C("D1")},
                       {"CODIGO", qztest::C("M")}, {"VAL_DIV", qztest::N(30)},
                       {"N_EMISION", qztest::N(2)}, {"FECHA", fecha}});
      schedules.push_back({{"NEGOCIO", qztest::C(kHc)}, {"DEPTO", qztest::C("D1")},
                           {"CODIGO", qztest::C("08")}, {"FACTOR", qztest::N(8)},
                           {"FECHA", fecha}});
      for (const char* e : {"E1", "E2"})
        values.push_back({{"NEGOCIO", qztest::C(kHc)}, {"CODIGO", qztest::C(e)},
                          {"COD_COLUMN", qztest::C("01")}, {"RESULT1", qztest::N(50)},
                          {"FECHA", fecha}});
    }
    qztest::AddRows(bases, "H_TIP_PL", types);
    qztest::AddRows(bases, "H_TIEM_E", schedules);
    qztest::AddRows(bases, "H_D_PERS", values);
    Set("H_E_DEPT", {}, "TIPO", xb::Value::Char("M"));
  }

  template <class S>
  S* Run(const std::string& inicio, const std::string& fin, int answer = 1) {
    auto* s = qz::OpenScreen<S>(desktop, S::kTemplate, kHc);
    EXPECT_NE(s, nullptr);
    ui.Type(s, HistoryRecalcScreen::kInicio, inicio);
    ui.Type(s, HistoryRecalcScreen::kFin, fin);
    ui.AnswerNext(answer);
    ui.Press(s, HistoryRecalcScreen::kAceptar);
    return s;
  }
  // COST_HPROM of the employee's line of 15/01 (0) or 31/01 (1).
  double Cost(const std::string& emp, size_t payroll) {
    auto rows = Rows("H_E_PERS", {{"CODIGO", emp}});
    auto t = xb::Table::Open(file("H_E_PERS.DBF"));
    (*t)->GoTo(rows.at(payroll));
    return (*t)->Get("COST_HPROM")->number();
  }
};

TEST_F(HistoryRecalcScreensTest, TheSummaryIsRebuiltAfterTheQuestionAndTheWindowCloses) {
  Run<REC_HIST>("", "");
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"¿Desea reconstruir el resumen historico de columnas?",
                                      "Fin de Proceso"}));
  EXPECT_EQ(ui.boxes().front().title, "Advertencia");
  EXPECT_EQ(ui.wait_texts().front(), "Procesando Datos.");
  EXPECT_TRUE(desktop.windows().empty());
  EXPECT_EQ(Count("H_D_PER4"), 4u);
  EXPECT_EQ(Num("H_D_PER5", {{"CODIGO", "E2"}}, "RESUL1_1"), 50);
  // The second run finds every summary and adds nothing.
  Run<REC_HIST>("", "");
  EXPECT_EQ(Count("H_D_PER4"), 4u);
  EXPECT_EQ(Count("H_D_PER9"), 4u);
}

TEST_F(HistoryRecalcScreensTest, CancellingTheQuestionOrABadDateChangesNothing) {
  REC_HIST* s = Run<REC_HIST>("", "", 2);
  EXPECT_EQ(ui.TakeBoxTexts().size(), 1u);
  EXPECT_EQ(desktop.windows().size(), 1u);
  EXPECT_EQ(Count("H_D_PER4"), 0u);
  ui.Type(s, HistoryRecalcScreen::kInicio, "45/13/26");
  ui.Press(s, HistoryRecalcScreen::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fecha inválida"});
  EXPECT_EQ(Count("H_D_PER4"), 0u);
}

TEST_F(HistoryRecalcScreensTest, TheHourlyCostOfEachLineAveragesItsPastHalfMonths) {
  Run<REC_HIS2>("", "20/01/26");
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"¿Desea recalcular el costo por hora promedio por Empleado?",
                                      "Fin de Proceso"}));
  // Only the payroll of 15/01 is in range: its own line.
  EXPECT_NEAR(Cost("E1", 0), 2400.0 / 30 / 8, 1e-5);
  EXPECT_EQ(Cost("E1", 1), 0);
  Run<REC_HIS2>("", "");
  // 31/01 with 15/01: 9,600 in one month, half of it a fortnight's.
  EXPECT_NEAR(Cost("E2", 1), 4800.0 / 30 / 8, 1e-5);
}

TEST_F(HistoryRecalcScreensTest, CancellingTheWaitingWindowLeavesTheHistoryAsItWas) {
  ui.CancelWaitAt(2);
  REC_HIST* s = Run<REC_HIST>("", "");
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Proceso cancelado: el histórico quedó como estaba");
  EXPECT_EQ(Count("H_D_PER4"), 0u);
  EXPECT_EQ(desktop.windows().size(), 1u);
  ui.CancelWaitAt(-1);
  ui.AnswerNext(1);
  ui.Press(s, HistoryRecalcScreen::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Fin de Proceso");
  EXPECT_EQ(Count("H_D_PER4"), 4u);
}

TEST_F(HistoryRecalcScreensTest, ALineHeldByAnotherWorkstationTakesTheWholeRunBack) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  auto other = xb::Table::Open(file("H_E_PERS.DBF"));
  ASSERT_TRUE((*other)->LockRecord(Rows("H_E_PERS", {{"CODIGO", "E2"}}).back()).ok());
  REC_HIS2* s = Run<REC_HIS2>("", "");
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_EQ(Cost("E1", 0), 0);
  EXPECT_EQ(Count("LOG_ROLL"), 1u);
  EXPECT_EQ(desktop.windows().size(), 1u);
  (*other)->UnlockAll();
  ui.TakeBoxTexts();
  ui.AnswerNext(1);
  ui.Press(s, HistoryRecalcScreen::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts().back(), "Fin de Proceso");
  EXPECT_NEAR(Cost("E1", 0), 10, 1e-5);
}

}  // namespace
