// An informative column added to one past payroll: amounts typed per
// employee, the hourly cost from the payroll's own copies, and a second run
// that overwrites instead of adding.
#include <gtest/gtest.h>

#include "lib/ui/browse.h"
#include "payroll/processes/add_col3.h"
#include "processes_fixture.h"

namespace {

using qz::ADD_COL3;
using qztest::C;
using qztest::Day;
using qztest::kHc;
using qztest::N;

class AddCol3Test : public qztest::ProcessSession {
 protected:
  void SetUp() override {
    Build();
    Set("ENC_TIP", {{"CODIGO", "03"}}, "INFO", xb::Value::Number(1));
    // The payroll of 15/01 as its opening froze it: E1's base 120,000 and
    // E2's 240,000, the base copy with multiplier 1, divisor 30, 8 hours.
    const xb::Value fecha = Day(2026, 1, 15);
    Set("H_E_DEPT", {}, "TIPO", xb::Value::Char("M"));
    Set("H_E_PERS", {}, "COD_TIEMPO", xb::Value::Char("08"));
    Set("H_E_PERS", {{"CODIGO", "E1"}}, "NOMBRE", xb::Value::Char("ANA MORA"));
    Set("H_E_PERS", {{"CODIGO", "E2"}}, "NOMBRE", xb::Value::Char("LUIS SOLIS"));
    qztest::AddRows(bases, "H_E_TIP", {{{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"CODIGO", C("01")},
                                        {"VAL_BASE", N(1)}, {"VALOR_3", N(1)}, {"FECHA", fecha}}});
    qztest::AddRows(bases, "H_D_PERS",
                    {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("E1")}, {"COD_COLUMN", C("01")},
                      {"VALOR_1", N(120000)}, {"FECHA", fecha}},
                     {{"NEGOCIO", C(kHc)}, {"CODIGO", C("E2")}, {"COD_COLUMN", C("01")},
                      {"VALOR_1", N(240000)}, {"FECHA", fecha}}});
    qztest::AddRows(bases, "H_TIP_PL", {{{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"CODIGO", C("M")},
                                         {"VAL_DIV", N(30)}, {"FECHA", fecha}}});
    qztest::AddRows(bases, "H_TIEM_E", {{{"NEGOCIO", C(kHc)}, {"DEPTO", C("D1")}, {"CODIGO", C("08")},
                                         {"FACTOR", N(8)}, {"FECHA", fecha}}});
    s = qz::OpenScreen<ADD_COL3>(desktop, "ADD_COL3", kHc);
    ASSERT_NE(s, nullptr);
    ui.Type(s, ADD_COL3::kFecha, "15/01/26");
  }
  ADD_COL3* s = nullptr;
};

TEST_F(AddCol3Test, TheTypedAmountsAndTheHourlyCostGoIntoEveryLine) {
  Choose(*s->tree(), "D1");
  ASSERT_EQ(s->grid()->RowCount(), 2);
  EXPECT_EQ(s->grid()->Cell(1, 1).substr(0, 10), "LUIS SOLIS");
  ASSERT_TRUE(s->grid()->EditCell(0, ADD_COL3::kMontoColumn, "1,500"));
  s->UserChoose(ADD_COL3::kColumna, "COMISION");
  ui.Click(s, ADD_COL3::kDeduccion);
  ui.Press(s, ADD_COL3::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  // After the payroll's last column, first of its category.
  EXPECT_EQ(Num("H_D_DEPT", {{"COD_COLUMN", "03"}}, "CODIGO"), 2);
  EXPECT_EQ(Num("H_D_DEPT", {{"COD_COLUMN", "03"}}, "ORDEN"), 1);
  EXPECT_EQ(Rows("H_D_DEPT", {{"COD_COLUMN", "03"}, {"TIPO", "02"}}).size(), 1u);
  EXPECT_EQ(Num("H_E_TIP", {{"CODIGO", "03"}}, "INFO"), 1);
  EXPECT_EQ(Rows("H_D_TIP", {{"CODIGO", "03"}, {"DEPTO", "D1"}}).size(), 1u);
  // E2, left at 0 in the list, still gets its row.
  EXPECT_EQ(Num("H_D_PERS", {{"CODIGO", "E1"}, {"COD_COLUMN", "03"}}, "VALOR_1"), 1500);
  EXPECT_EQ(Num("H_D_PERS", {{"CODIGO", "E2"}, {"COD_COLUMN", "03"}}, "VALOR_1"), 0);
  // 120,000 x 1 / 30 / 8.
  EXPECT_NEAR(Num("H_D_PERS", {{"CODIGO", "E1"}, {"COD_COLUMN", "03"}}, "FACTOR"), 500, 1e-6);
  EXPECT_NEAR(Num("H_D_PERS", {{"CODIGO", "E2"}, {"COD_COLUMN", "03"}}, "FACTOR"), 1000, 1e-6);
}

TEST_F(AddCol3Test, ASecondRunOverwritesTheAmounts) {
  s->UserChoose(ADD_COL3::kColumna, "COMISION");
  Choose(*s->tree(), "D1");
  s->grid()->EditCell(0, ADD_COL3::kMontoColumn, "10");
  ui.Press(s, ADD_COL3::kAceptar);
  s->grid()->EditCell(0, ADD_COL3::kMontoColumn, "20");
  ui.Press(s, ADD_COL3::kAceptar);
  EXPECT_EQ(Rows("H_D_DEPT", {{"COD_COLUMN", "03"}}).size(), 1u);
  EXPECT_EQ(Rows("H_E_TIP", {{"CODIGO", "03"}}).size(), 1u);
  EXPECT_EQ(Rows("H_D_PERS", {{"COD_COLUMN", "03"}}).size(), 2u);
  EXPECT_EQ(Num("H_D_PERS", {{"CODIGO", "E1"}, {"COD_COLUMN", "03"}}, "VALOR_1"), 20);
}

TEST_F(AddCol3Test, MissingColumnDateOrPayrollAreRefused) {
  ui.Press(s, ADD_COL3::kAceptar);
  s->UserChoose(ADD_COL3::kColumna, "COMISION");
  ui.Press(s, ADD_COL3::kAceptar);  // no department: nothing
  ui.Type(s, ADD_COL3::kFecha, "");
  Choose(*s->tree(), "D1");
  ui.Type(s, ADD_COL3::kFecha, "16/01/26");
  Choose(*s->tree(), "D2");
  EXPECT_EQ(s->grid()->RowCount(), 0);
  ui.Press(s, ADD_COL3::kAceptar);
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{ADD_COL3::kNoColumn, ADD_COL3::kBadDate,
                                                         ADD_COL3::kNoPayroll}));
  EXPECT_EQ(Count("H_D_DEPT"), 2u);
}

}  // namespace
