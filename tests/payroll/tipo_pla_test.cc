// The payroll types and their edit window: the duplicate test against the
// selected row, the two kinds, departments carried to a new code, the
// divisor stored as 0 without its flag, the recalculation of the type's
// employees (checked against hand computations) and its rollback.
#include "payroll/tipo_pla.h"

#include <gtest/gtest.h>

#include "lib/data/transaction.h"
#include "payroll/e_tippla.h"
#include "payroll_defs_fixture.h"
#include "support/scripted_boxes.h"

namespace {

using qz::E_TIPPLA;
using qztest::kHc;

class TipoPlaTest : public qztest::PayrollDefsSession {
 protected:
  void SetUp() override {
    CreateDefinitions();
    OpenScreen();
  }
  void OpenScreen() {
    screen = qz::OpenScreen<qz::TIPO_PLA>(desktop, "DEF_TIPO_PLA", kHc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }
  E_TIPPLA* Editor() { return dynamic_cast<E_TIPPLA*>(desktop.FindWindow("E_TIPPLA")); }
  E_TIPPLA* Modify(int row) {
    grid->Select(row);
    EXPECT_TRUE(ui.Menu("Modificar Tipo de Planilla"));
    return Editor();
  }
  std::vector<std::string> DeptTypes() {
    std::vector<std::string> out;
    for (const char* d : {"D1", "D2", "D3", "D9"}) out.push_back(d + ("=" + Field("ENC_DEPT", "TIPO", d)));
    return out;
  }

  qz::TIPO_PLA* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(TipoPlaTest, AddingTheSelectedRowsCodeIsRefusedAndAWeeklyTypeIsStored) {
  grid->Select(1);  // 02
  ASSERT_TRUE(ui.Menu("Agregar   Tipo de Planilla"));
  E_TIPPLA* e = Editor();
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(screen->window_enabled());
  EXPECT_EQ(e->title(), "Edición de Tipos de Planillas");
  // New types count payrolls: the day fields wait for the other radio.
  EXPECT_EQ(e->Check(E_TIPPLA::kPorPlanillas), 1);
  EXPECT_FALSE(e->ControlEnabled(E_TIPPLA::kDias));
  EXPECT_FALSE(e->ControlEnabled(E_TIPPLA::kValDiv));
  ui.Type(e, E_TIPPLA::kCodigo, "02");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de  ya definido..."});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  ASSERT_EQ(Editor(), e);

  ui.Type(e, E_TIPPLA::kCodigo, "03");
  ui.Type(e, E_TIPPLA::kDescrip, "Semanal");
  ui.Click(e, E_TIPPLA::kPorDias);
  EXPECT_TRUE(e->ControlEnabled(E_TIPPLA::kDias));
  EXPECT_FALSE(e->ControlEnabled(E_TIPPLA::kPlanillas));
  ui.Type(e, E_TIPPLA::kDias, "7");
  const auto* days = e->Control(E_TIPPLA::kDiaPago);
  ASSERT_EQ(days->entries.size(), 7u);
  EXPECT_EQ(days->entries[0].text, "DOMINGO");
  EXPECT_TRUE(e->UserChoose(E_TIPPLA::kDiaPago, "VIERNES"));
  ui.Click(e, E_TIPPLA::kObligaDia);
  ui.Click(e, E_TIPPLA::kFactDiv);
  ui.Type(e, E_TIPPLA::kValDiv, "7");
  ui.Type(e, E_TIPPLA::kMesComerc, "30");
  ui.Click(e, E_TIPPLA::kRenta + 1);
  ui.AnswerNext(2);  // no recalculation: the new type has no departments yet
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{E_TIPPLA::kRecalcQuestion});
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(Field("TIP_PLA", "DESCRIP", "03"), "Semanal");
  EXPECT_EQ(Field("TIP_PLA", "TIPO", "03"), "1");
  EXPECT_EQ(Field("TIP_PLA", "CANTIDAD", "03"), "7");
  EXPECT_EQ(Field("TIP_PLA", "DIA_PAGO", "03"), "6");
  EXPECT_EQ(Field("TIP_PLA", "OBLIGA_DIA", "03"), "1");
  EXPECT_EQ(Field("TIP_PLA", "VAL_DIV", "03"), "7");
  EXPECT_EQ(Field("TIP_PLA", "RENTA", "03"), "1");
  EXPECT_EQ(grid->RowCount(), 4);
  EXPECT_EQ(Factor("E1", "HX"), 7);  // nothing recalculated
}

TEST_F(TipoPlaTest, ANewDivisorRecalculatesTheEmployeesOfTheTypesDepartmentsOnly) {
  E_TIPPLA* e = Modify(1);  // 02: E2 (D2), base 150,000
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(E_TIPPLA::kValDiv), "15.00000");
  ui.Type(e, E_TIPPLA::kValDiv, "7");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{E_TIPPLA::kRecalcQuestion});
  EXPECT_EQ(ui.wait_texts().back(), "Recalculando campos ......");
  // 150,000 / 7 / 8 = 2,678.5714... rounded up to cents 2,678.58;
  // x 1.5 = 4,017.87 and x 2 = 5,357.16.
  EXPECT_NEAR(Factor("E2", "HX"), 4017.87, 1e-6);
  EXPECT_NEAR(Factor("E2", "HD"), 5357.16, 1e-6);
  // Base rows keep their factor; other types' employees are untouched.
  EXPECT_EQ(Factor("E2", "SB"), 7);
  EXPECT_EQ(Factor("E1", "HX"), 7);
  EXPECT_EQ(Factor("E1", "HX", qztest::kHp), 7);
  EXPECT_EQ(Field("TIP_PLA", "VAL_DIV", "02"), "7");
}

TEST_F(TipoPlaTest, TheBaseIsTheSumOfTheBaseColumns) {
  E_TIPPLA* e = Modify(0);  // 01: E1 (SB 100,000 + SC 60,000) and E3
  ui.Type(e, E_TIPPLA::kValDiv, "20");
  ui.Press(e, 1);
  // 160,000 / 20 / 8 = 1,000 exactly; x 1.5.
  EXPECT_NEAR(Factor("E1", "HX"), 1500, 1e-6);
  // 240,000 / 20 / 8 = 1,500; x 2.
  EXPECT_NEAR(Factor("E3", "HD"), 3000, 1e-6);
  EXPECT_EQ(Factor("E2", "HX"), 7);
}

TEST_F(TipoPlaTest, ModifyKeepsDepartmentsAttachedAndACodeChangeMovesThem) {
  E_TIPPLA* e = Modify(0);
  ui.Type(e, E_TIPPLA::kDescrip, "MENSUAL FIJO");
  ui.Press(e, 1);  // same divisor: no question
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(DeptTypes(), (std::vector<std::string>{"D1=01", "D2=02", "D3=01", "D9=09"}));

  e = Modify(0);
  ui.Type(e, E_TIPPLA::kCodigo, "05");
  ui.Press(e, 1);
  EXPECT_EQ(DeptTypes(), (std::vector<std::string>{"D1=05", "D2=02", "D3=05", "D9=09"}));
  EXPECT_EQ(Field("TIP_PLA", "DESCRIP", "05"), "MENSUAL FIJO");
  EXPECT_EQ(Field("TIP_PLA", "DESCRIP", "01"), "<none>");
  // The other business's department keeps its own type.
  EXPECT_EQ(Field("ENC_DEPT", "TIPO", "D1", qztest::kHp), "02");
}

TEST_F(TipoPlaTest, UncheckingTheDividingFactorStoresZeroAndAsksNothing) {
  E_TIPPLA* e = Modify(1);
  EXPECT_TRUE(e->ControlEnabled(E_TIPPLA::kValDiv));
  ui.Click(e, E_TIPPLA::kFactDiv);
  EXPECT_FALSE(e->ControlEnabled(E_TIPPLA::kValDiv));
  ui.Press(e, 1);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Field("TIP_PLA", "VAL_DIV", "02"), "0");
  EXPECT_EQ(Field("TIP_PLA", "FACT_DIV", "02"), "0");
  EXPECT_EQ(Factor("E2", "HX"), 7);
}

TEST_F(TipoPlaTest, BadNumbersAndBlankCodesWriteNothing) {
  E_TIPPLA* e = Modify(1);
  ui.Type(e, E_TIPPLA::kValDiv, "1a5");
  EXPECT_TRUE(e->last_input_refused());  // the picture takes digits only
  ui.Type(e, E_TIPPLA::kValDiv, "1,5");
  ui.Press(e, 1);
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(e->focus(), E_TIPPLA::kValDiv);
  ui.Type(e, E_TIPPLA::kValDiv, "15");
  ui.Type(e, E_TIPPLA::kCodigo, "");
  ui.Press(e, 1);
  EXPECT_EQ(ui.boxes().back().text, qz::kBlankCode);
  ui.Press(e, 2);
  EXPECT_EQ(Field("TIP_PLA", "VAL_DIV", "02"), "15");
  EXPECT_TRUE(screen->window_enabled());
}

TEST_F(TipoPlaTest, DeleteAsksAndLeavesTheDepartmentsAlone) {
  grid->Select(1);
  ui.AnswerNext(2);
  ui.Menu("Borrar    Tipo de Planilla");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Desea borrar el tipo?"});
  EXPECT_EQ(grid->RowCount(), 3);
  ui.Menu("Borrar    Tipo de Planilla");
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(Field("TIP_PLA", "DESCRIP", "02"), "<none>");
  EXPECT_EQ(Field("ENC_DEPT", "TIPO", "D2"), "02");
}

TEST_F(TipoPlaTest, ARecalculationThatFailsMidwayIsRolledBackWhole) {
  desktop.CloseAll();
  desktop.Collect();
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  inst.Start();
  OpenScreen();
  qztest::ScriptedErrorDialog errors;
  // Another workstation holds E3's overtime row: E1 is written first, then
  // the transaction cannot go on.
  auto other = xb::Table::Open(file("DET_PERS.DBF"));
  uint32_t held = 0;
  for ((*other)->GoTop(); !(*other)->Eof(); (*other)->Skip(1))
    if (qz::FieldText(**other, "CODIGO") == "E3" && qz::FieldText(**other, "COD_COLUMN") == "HX")
      held = (*other)->RecNo();
  ASSERT_TRUE((*other)->LockRecord(held).ok());
  E_TIPPLA* e = Modify(0);
  ui.Type(e, E_TIPPLA::kValDiv, "20");
  ui.Type(e, E_TIPPLA::kDescrip, "NO DEBE QUEDAR");
  ui.Press(e, 1);
  (*other)->UnlockAll();
  EXPECT_FALSE(qz::InServerTransaction());
  EXPECT_EQ(Field("TIP_PLA", "VAL_DIV", "01"), "30");
  EXPECT_EQ(Field("TIP_PLA", "DESCRIP", "01"), "MENSUAL");
  EXPECT_EQ(Factor("E1", "HX"), 7);
  EXPECT_EQ(Factor("E1", "HD"), 7);
  // The window is still there with what was typed, ready to try again.
  ASSERT_EQ(Editor(), e);
  ui.Press(e, 1);
  EXPECT_NEAR(Factor("E1", "HX"), 1500, 1e-6);
  EXPECT_EQ(Field("TIP_PLA", "DESCRIP", "01"), "NO DEBE QUEDAR");
}

}  // namespace
