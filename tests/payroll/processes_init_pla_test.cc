// Opening a payroll period: the department's active employees, their
// amounts typed in place under the record lock, "Limpiar", and the guard of
// "Consolidar" against a payroll that exists.
#include <gtest/gtest.h>

#include "lib/ui/browse.h"
#include "payroll/processes/init_pla.h"
#include "processes_fixture.h"

namespace {

using qz::INIT_PLA;
using qztest::kHc;

class InitPlaTest : public qztest::ProcessSession {
 protected:
  INIT_PLA* Open(const std::string& business = kHc) {
    auto* s = qz::OpenScreen<INIT_PLA>(desktop, "INIT_PLA", business);
    EXPECT_NE(s, nullptr);
    return s;
  }
  double Amount(const std::string& emp, const std::string& field) {
    return Num("ENC_PERS", {{"CODIGO", emp}}, field);
  }
  std::vector<std::string> Column(INIT_PLA* s, int col) {
    std::vector<std::string> out;
    for (int r = 0; r < s->grid()->RowCount(); ++r) out.push_back(s->grid()->Cell(r, col));
    return out;
  }
};

TEST_F(InitPlaTest, TheDepartmentsActiveEmployeesWithTheParametersLabels) {
  Set("F_PLAN", {}, "TOTAL_AG3", xb::Value::Number(1));
  Set("F_PLAN", {}, "ROTULO_AG3", xb::Value::Char("PROPINAS"));
  INIT_PLA* s = Open();
  const auto& leaves = s->tree()->root()->children.front()->children;
  ASSERT_EQ(leaves.size(), 2u);
  EXPECT_EQ(leaves[0]->text, "BAR");
  EXPECT_EQ(leaves[1]->text, "COCINA");
  EXPECT_EQ(s->grid()->RowCount(), 0);
  Choose(*s->tree(), "D1");
  EXPECT_EQ(Column(s, 0), (std::vector<std::string>{"E1             ", "E2             "}));
  const auto& cols = s->grid()->columns();
  EXPECT_EQ(cols[3].header, "T.Grupo 1");
  EXPECT_EQ(cols[4].header, "PROPINAS");
  EXPECT_EQ(cols[6].header, "T.Grupo 4");
  // By name on the second header.
  ASSERT_TRUE(s->grid()->ClickHeader(1).ok());
  EXPECT_EQ(s->grid()->Cell(0, 1).substr(0, 8), "ANA MORA");
  Choose(*s->tree(), "D2");
  EXPECT_EQ(s->grid()->RowCount(), 1);
  EXPECT_EQ(s->Text(INIT_PLA::kFecha).size(), 8u);  // today, dd/mm/yy
}

TEST_F(InitPlaTest, AnAmountTypedInPlaceIsSavedAndTheLockReleased) {
  INIT_PLA* s = Open();
  Choose(*s->tree(), "D1");
  ASSERT_TRUE(s->grid()->EditCell(0, INIT_PLA::kTotSalColumn, "150,000.50"));
  EXPECT_EQ(Amount("E1", "TOT_SAL"), 150000.5);
  EXPECT_EQ(s->grid()->current(), 1);  // on to the next employee
  ASSERT_TRUE(s->grid()->EditCell(1, INIT_PLA::kTotSalColumn + 4, "25"));
  EXPECT_EQ(Amount("E2", "TOT_GRUPO4"), 25);
  EXPECT_EQ(s->grid()->Cell(0, INIT_PLA::kTotSalColumn), "     150,000.50");
  // Code and name are not editable.
  EXPECT_FALSE(s->grid()->EditCell(0, 1, "OTRO"));
  // Another workstation can take the rows at once.
  auto other = xb::Table::Open(file("ENC_PERS.DBF"));
  for (uint32_t r : Rows("ENC_PERS", {{"DEPTO", "D1"}})) EXPECT_TRUE((*other)->LockRecord(r).ok());
}

TEST_F(InitPlaTest, AnEmployeeAnotherUserHoldsIsNamedAndKeepsItsAmount) {
  INIT_PLA* s = Open();
  Choose(*s->tree(), "D1");
  auto other = xb::Table::Open(file("ENC_PERS.DBF"));
  ASSERT_TRUE((*other)->LockRecord(Rows("ENC_PERS", {{"CODIGO", "E2"}}).front()).ok());
  EXPECT_FALSE(s->grid()->EditCell(1, INIT_PLA::kTotSalColumn, "500"));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"El empleado LUIS SOLIS está siendo modificado por otro usuario"});
  EXPECT_EQ(Amount("E2", "TOT_SAL"), 0);
  (*other)->UnlockAll();
  EXPECT_TRUE(s->grid()->EditCell(1, INIT_PLA::kTotSalColumn, "500"));
  EXPECT_EQ(Amount("E2", "TOT_SAL"), 500);
}

TEST_F(InitPlaTest, LimpiarClearsTheActiveEmployeesOfTheDepartmentOnly) {
  INIT_PLA* s = Open();
  ui.Press(s, INIT_PLA::kLimpiar);  // no department: nothing
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  Choose(*s->tree(), "D1");
  s->grid()->EditCell(0, INIT_PLA::kTotSalColumn, "100");
  s->grid()->EditCell(0, INIT_PLA::kTotSalColumn + 1, "7");
  s->grid()->EditCell(1, INIT_PLA::kTotSalColumn, "200");
  for (const char* e : {"E3", "E4"}) Set("ENC_PERS", {{"CODIGO", e}}, "TOT_SAL", xb::Value::Number(300));
  ui.Press(s, INIT_PLA::kLimpiar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(ui.wait_texts().back(), "Limpiando Datos...");
  EXPECT_EQ(Amount("E1", "TOT_SAL"), 0);
  EXPECT_EQ(Amount("E1", "TOT_GRUPO1"), 0);
  EXPECT_EQ(Amount("E2", "TOT_SAL"), 0);
  EXPECT_EQ(Amount("E3", "TOT_SAL"), 300);
  EXPECT_EQ(Amount("E4", "TOT_SAL"), 300);
  EXPECT_EQ(s->grid()->Cell(1, INIT_PLA::kTotSalColumn), "           0.00");
}

TEST_F(InitPlaTest, APayrollThatExistsIsNotOpenedAgain) {
  INIT_PLA* s = Open();
  ui.Press(s, INIT_PLA::kConsolidar);  // no department: nothing
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  Choose(*s->tree(), "D1");
  ui.Type(s, INIT_PLA::kFecha, "15/01/26");
  ui.Press(s, INIT_PLA::kConsolidar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{INIT_PLA::kExists});
  ui.Type(s, INIT_PLA::kFecha, "");
  ui.Press(s, INIT_PLA::kConsolidar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{INIT_PLA::kBadDate});
  EXPECT_EQ(Count("H_E_DEPT"), 2u);
}

TEST_F(InitPlaTest, TwoScreensAndTwoBusinessesKeepToTheirOwnRows) {
  qztest::AddRows(bases, "ENC_DEPT", {{{"NEGOCIO", qztest::C(qztest::Biz("HOTEL PLAYA"))},
                              {"CODIGO", qztest::C("D1")}, {"DESCRIP", qztest::C("PLAYA")}}});
  INIT_PLA* first = Open();
  INIT_PLA* playa = Open(qztest::Biz("HOTEL PLAYA"));
  const auto& leaves = playa->tree()->root()->children.front()->children;
  ASSERT_EQ(leaves.size(), 1u);
  EXPECT_EQ(leaves[0]->text, "PLAYA");
  Choose(*playa->tree(), "D1");
  EXPECT_EQ(playa->grid()->RowCount(), 0);
  // The same business twice: an amount typed in one shows in the other
  // once it reads again.
  INIT_PLA* second = Open();
  Choose(*first->tree(), "D1");
  Choose(*second->tree(), "D1");
  ASSERT_TRUE(first->grid()->EditCell(0, INIT_PLA::kTotSalColumn, "42"));
  ASSERT_TRUE(second->grid()->Reread().ok());
  EXPECT_EQ(second->grid()->Cell(0, INIT_PLA::kTotSalColumn), "          42.00");
  ASSERT_TRUE(second->grid()->EditCell(0, INIT_PLA::kTotSalColumn, "43"));
  EXPECT_EQ(Amount("E1", "TOT_SAL"), 43);
}

}  // namespace
