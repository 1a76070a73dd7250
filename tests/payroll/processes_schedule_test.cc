// Assigning a working schedule to departments: the active employees take
// it and their hourly-cost factors follow, all or nothing.
#include <gtest/gtest.h>

#include "payroll/processes/asig_jor.h"
#include "processes_fixture.h"

namespace {

using qz::ASIG_JOR;
using qztest::kHc;

class AsigJorTest : public qztest::ProcessSession {
 protected:
  ASIG_JOR* Assign(const std::string& schedule, const std::vector<std::string>& depts) {
    auto* s = qz::OpenScreen<ASIG_JOR>(desktop, "ASIG_JOR", kHc);
    EXPECT_NE(s, nullptr);
    if (!schedule.empty()) s->UserChoose(ASIG_JOR::kJornada, schedule);
    for (const auto& d : depts) Choose(*s->tree(), d);
    ui.Press(s, ASIG_JOR::kAceptar);
    return s;
  }
  std::string Schedule(const std::string& emp) {
    auto t = xb::Table::Open(file("ENC_PERS.DBF"));
    (*t)->GoTo(Rows("ENC_PERS", {{"CODIGO", emp}}).front());
    return qz::FieldText(**t, "COD_TIEMPO");
  }
};

TEST_F(AsigJorTest, ActiveEmployeesTakeTheScheduleAndTheirFactorsFollow) {
  Assign("MEDIO TIEMPO", {"D1"});
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Schedule("E1"), "04");
  EXPECT_EQ(Schedule("E2"), "04");
  EXPECT_NEAR(Factor("E1", "02"), 1500, 1e-6);  // 120,000 / 30 / 4 x 1.5
  EXPECT_NEAR(Factor("E2", "02"), 3000, 1e-6);
  // The inactive employee and the department not marked keep theirs.
  EXPECT_EQ(Schedule("E3"), "08");
  EXPECT_EQ(Factor("E3", "02"), 7);
  EXPECT_EQ(Schedule("E4"), "08");
}

TEST_F(AsigJorTest, NothingIsDoneWithoutAScheduleOrADepartment) {
  Assign("", {"D1"});
  desktop.CloseAll();
  Assign("MEDIO TIEMPO", {});
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{ASIG_JOR::kNoSchedule, ASIG_JOR::kNoDepartment}));
  EXPECT_EQ(Schedule("E1"), "08");
}

TEST_F(AsigJorTest, ZeroBasesDivisorsAndMultipliers) {
  // E1 without base keeps its factor; a multiplier of 0 gives 0.
  Set("DET_PERS", {{"CODIGO", "E1"}, {"COD_COLUMN", "01"}}, "VALOR_1", xb::Value::Number(0));
  Set("ENC_TIP", {{"CODIGO", "05"}}, "VALOR_3", xb::Value::Number(0));
  Set("DET_PERS", {{"CODIGO", "E2"}, {"COD_COLUMN", "01"}}, "FACTOR", xb::Value::Number(0));
  qztest::AddRows(bases, "DET_PERS", {Value("E2", "05", 0, 9)});
  Assign("MEDIO TIEMPO", {"D1"});
  EXPECT_EQ(Schedule("E1"), "04");
  EXPECT_EQ(Factor("E1", "02"), 7);
  EXPECT_EQ(Factor("E2", "05"), 0);
  desktop.CloseAll();
  // A payroll type whose divisor is 0: every dependent factor becomes 0.
  Set("ENC_DEPT", {{"CODIGO", "D1"}}, "TIPO", xb::Value::Char("Z"));
  Assign("OCHO HORAS", {"D1"});
  EXPECT_EQ(Factor("E2", "02"), 0);
}

TEST_F(AsigJorTest, AnEmployeeHeldByAnotherWorkstationTakesTheWholeAssignmentBack) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  auto other = xb::Table::Open(file("ENC_PERS.DBF"));
  ASSERT_TRUE((*other)->LockRecord(Rows("ENC_PERS", {{"CODIGO", "E2"}}).front()).ok());
  ASIG_JOR* s = Assign("MEDIO TIEMPO", {"D1"});
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_EQ(Schedule("E1"), "08");
  EXPECT_EQ(Factor("E1", "02"), 7);
  (*other)->UnlockAll();
  ui.Press(s, ASIG_JOR::kAceptar);
  EXPECT_EQ(Schedule("E2"), "04");
  EXPECT_NEAR(Factor("E1", "02"), 1500, 1e-6);
}

}  // namespace
