// The year-end bonus reduction: a department's active employees with the
// amount to subtract, typed in place under the record lock, and "Limpiar".
#include <gtest/gtest.h>

#include "lib/ui/browse.h"
#include "payroll/benefits/ajust_ag.h"
#include "processes_fixture.h"

namespace {

using qz::AJUST_AG;
using qztest::kHc;

class AjustAgTest : public qztest::ProcessSession {
 protected:
  AJUST_AG* Open() {
    auto* s = qz::OpenScreen<AJUST_AG>(desktop, "AJUST_AG", kHc);
    EXPECT_NE(s, nullptr);
    return s;
  }
  double Monto(const std::string& emp) { return Num("ENC_PERS", {{"CODIGO", emp}}, "AJUSTE_AG"); }
};

TEST_F(AjustAgTest, TheActiveEmployeesOfTheClickedDepartmentWithTheirAmounts) {
  Set("ENC_PERS", {{"CODIGO", "E2"}}, "AJUSTE_AG", xb::Value::Number(12500.5));
  AJUST_AG* s = Open();
  EXPECT_EQ(s->title(), "Ajuste Negativo para Aguinaldo");
  EXPECT_EQ(s->grid()->RowCount(), 0);
  Choose(*s->tree(), "D1");
  ASSERT_EQ(s->grid()->RowCount(), 2);  // E3 is inactive
  const auto& cols = s->grid()->columns();
  ASSERT_EQ(cols.size(), 3u);
  EXPECT_EQ(cols[0].header, "Identificación");
  EXPECT_EQ(cols[1].header, "Nombre");
  EXPECT_EQ(cols[2].header, "Monto a Restar");
  EXPECT_EQ(s->grid()->Cell(1, AJUST_AG::kMontoColumn), "      12,500.50");
  Choose(*s->tree(), "D2");
  EXPECT_EQ(s->grid()->RowCount(), 1);
}

TEST_F(AjustAgTest, AnAmountTypedInPlaceIsSavedUnlessAnotherUserHoldsTheEmployee) {
  AJUST_AG* s = Open();
  Choose(*s->tree(), "D1");
  ASSERT_TRUE(s->grid()->EditCell(0, AJUST_AG::kMontoColumn, "75,000.25"));
  EXPECT_EQ(Monto("E1"), 75000.25);
  EXPECT_EQ(s->grid()->current(), 1);
  EXPECT_FALSE(s->grid()->EditCell(0, 1, "OTRO"));
  auto other = xb::Table::Open(file("ENC_PERS.DBF"));
  ASSERT_TRUE((*other)->LockRecord(Rows("ENC_PERS", {{"CODIGO", "E2"}}).front()).ok());
  EXPECT_FALSE(s->grid()->EditCell(1, AJUST_AG::kMontoColumn, "500"));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"El empleado LUIS SOLIS está siendo modificado por otro usuario"});
  EXPECT_EQ(Monto("E2"), 0);
  (*other)->UnlockAll();
  EXPECT_TRUE(s->grid()->EditCell(1, AJUST_AG::kMontoColumn, "500"));
  EXPECT_EQ(Monto("E2"), 500);
  // Released: another workstation takes the rows at once.
  for (uint32_t r : Rows("ENC_PERS", {{"DEPTO", "D1"}})) EXPECT_TRUE((*other)->LockRecord(r).ok());
}

TEST_F(AjustAgTest, LimpiarZeroesTheDepartmentsActiveEmployeesOnly) {
  for (const char* e : {"E1", "E2", "E3", "E4"})
    Set("ENC_PERS", {{"CODIGO", e}}, "AJUSTE_AG", xb::Value::Number(1000));
  AJUST_AG* s = Open();
  ui.Press(s, AJUST_AG::kLimpiar);  // no department: nothing
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  Choose(*s->tree(), "D1");
  ui.Press(s, AJUST_AG::kLimpiar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(ui.wait_texts().back(), "Limpiando Datos...");
  EXPECT_EQ(Monto("E1"), 0);
  EXPECT_EQ(Monto("E2"), 0);
  EXPECT_EQ(Monto("E3"), 1000);
  EXPECT_EQ(Monto("E4"), 1000);
  EXPECT_EQ(s->grid()->Cell(0, AJUST_AG::kMontoColumn), "           0.00");
  ui.Press(s, AJUST_AG::kSalir);
  EXPECT_TRUE(desktop.windows().empty());
}

}  // namespace
