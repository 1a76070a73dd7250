// Saving a column type recomputes the employees' hourly-cost factors when
// the user agrees: of that column when its multiplier changes, of every
// dependent column when a column joins or leaves the base salary; and a
// recalculation that fails half-way takes the whole save back with it.
#include <gtest/gtest.h>

#include <cmath>

#include "payroll/def_tip.h"
#include "payroll/ed_tip.h"
#include "support/scripted_boxes.h"
#include "support/ui_session.h"

namespace {

namespace id = qz::ed_tip;
using qz::ED_TIP;
using qztest::C;
using qztest::N;

const std::string kHc = qztest::Biz("HOTEL CENTRAL");

class DefTipRecalcTest : public qztest::UiSession {
 protected:
  void SetUp() override { Build(); }

  // `server`: the installation runs server transactions.
  void Build(bool server = false) {
    if (server) {
      inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
      inst.Start();
    }
    Create("ENC_TIP", {Type("01", "SALARIO", 1, 0, 0), Type("02", "HORAS EXTRA", 0, 1, 1.5),
                       Type("04", "ANUALIDAD", 0, 0, 0)});
    Create("F_PLAN", {{{"NEGOCIO", C(kHc)}, {"RED_COSTO", N(0)}}});
    Create("TIP_PLA", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("M")}, {"VAL_DIV", N(30)}}});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}}});
    Create("ENC_DEPT", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("D1")}, {"TIPO", C("M")}}});
    Create("ENC_PERS", {Employee("E1"), Employee("E2")});
    // One payroll's base: E1 120,000 (+ 24,000 of a non-base column), E2
    // 240,000; hourly costs 500 and 1,000.
    Create("DET_PERS", {Value("E1", "01", 120000, 0), Value("E1", "02", 10, 7),
                        Value("E1", "04", 24000, 0), Value("E2", "01", 240000, 0),
                        Value("E2", "02", 4, 7)});
    for (const char* t : {"DET_TIP", "MONEDAS", "CONCEPTD", "GRP_CMP", "DET_DEPT", "DET_REPP",
                          "DET_PER3", "H_E_PERS", "H_TIP_PL", "H_E_DEPT", "T_CAMBIO"})
      Create(t);
    qztest::CreateSchemaTable(inst.root + "PROFILE", "TMP_TIP");
    screen = qz::OpenScreen<qz::DEF_TIP>(desktop, "DEF_TIP", kHc);
    ASSERT_NE(screen, nullptr);
  }

  static qztest::Row Type(const std::string& code, const std::string& d, int base, int depend,
                          double valor_3) {
    return {{"NEGOCIO", C(kHc)},        {"CODIGO", C(code)},     {"DESCRIP", C(d)},
            {"TIPO", N(1)},             {"VAL_BASE", N(base)},   {"VAL_DEPEND", N(depend)},
            {"VALOR_3", N(valor_3)},    {"FACTOR_2", N(1)}};
  }
  static qztest::Row Employee(const std::string& code) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(code)}, {"DEPTO", C("D1")},
            {"COD_TIEMPO", C("08")}};
  }
  static qztest::Row Value(const std::string& emp, const std::string& col, double valor,
                           double factor) {
    return {{"NEGOCIO", C(kHc)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C(col)},
            {"VALOR_1", N(valor)}, {"FACTOR", N(factor)}};
  }

  // Record number and FACTOR of the value row of employee `emp`, column `col`.
  std::pair<uint32_t, double> Row(const std::string& emp, const std::string& col) {
    auto t = xb::Table::Open(file("DET_PERS.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldText(**t, "CODIGO") == emp && qz::FieldText(**t, "COD_COLUMN") == col)
        return {(*t)->RecNo(), (*t)->Get("FACTOR")->number()};
    return {0, NAN};
  }
  double Factor(const std::string& emp, const std::string& col) { return Row(emp, col).second; }
  double TypeValue(const std::string& code, const std::string& field) {
    auto t = xb::Table::Open(file("ENC_TIP.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldText(**t, "CODIGO") == code) return (*t)->Get(field)->number();
    return NAN;
  }
  ED_TIP* Modify(const std::string& code) {
    qz::WBLISTBOX* g = screen->oB();
    for (int r = 0; r < g->RowCount(); ++r)
      if (qz::TrimRight(g->Cell(r, 0)) == code) g->Select(r);
    ui.Menu("Modificar Tipo");
    return dynamic_cast<ED_TIP*>(desktop.FindWindow("DEF_TIP2"));
  }

  qz::DEF_TIP* screen = nullptr;
};

TEST_F(DefTipRecalcTest, ANewMultiplierRecomputesThatColumnOnly) {
  ED_TIP* e = Modify("02");
  ui.Type(e, id::kValor3, "2");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{ED_TIP::kRecalcQuestion});
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{ED_TIP::kRecalcWait});
  // (base salaries summed) / 30 / 8 x 2.
  EXPECT_NEAR(Factor("E1", "02"), 1000, 1e-6);
  EXPECT_NEAR(Factor("E2", "02"), 2000, 1e-6);
  EXPECT_EQ(Factor("E1", "04"), 0);
}

TEST_F(DefTipRecalcTest, AColumnJoiningTheBaseSalaryRecomputesEveryDependentColumn) {
  ED_TIP* e = Modify("04");
  ui.Click(e, id::kValBase);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{ED_TIP::kRecalcQuestion});
  // E1: (120,000 + 24,000) / 30 / 8 x 1.5.
  EXPECT_NEAR(Factor("E1", "02"), 900, 1e-6);
  EXPECT_NEAR(Factor("E2", "02"), 1500, 1e-6);
}

class DefTipServerTest : public DefTipRecalcTest {
 protected:
  void SetUp() override { Build(true); }
};

TEST_F(DefTipServerTest, ARecalculationFailingHalfWayTakesTheWholeSaveBack) {
  qztest::ScriptedErrorDialog errors;  // "Ignorar"
  // Another workstation keeps E2's row locked: E1's factor is written, E2's
  // lock gives up inside the transaction.
  auto other = xb::Table::Open(file("DET_PERS.DBF"));
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(Row("E2", "02").first).ok());
  ED_TIP* e = Modify("02");
  ui.Type(e, id::kDescrip, "HORAS EXTRA DOBLES");
  ui.Type(e, id::kValor3, "2");
  ui.Press(e, 1);
  ASSERT_EQ(errors.lines.size(), 1u);
  EXPECT_EQ(TypeValue("02", "VALOR_3"), 1.5);
  EXPECT_EQ(Factor("E1", "02"), 7);
  EXPECT_EQ(Factor("E2", "02"), 7);
  auto roll = xb::Table::Open(file("LOG_ROLL.DBF"));
  EXPECT_EQ(*(*roll)->RecCount(), 1u);
  // Nothing typed is lost: once the row is free the same window saves.
  ASSERT_EQ(desktop.FindWindow("DEF_TIP2"), e);
  EXPECT_EQ(e->Text(id::kDescrip), "HORAS EXTRA DOBLES");
  (*other)->UnlockAll();
  ui.Press(e, 1);
  EXPECT_EQ(desktop.FindWindow("DEF_TIP2"), nullptr);
  EXPECT_EQ(TypeValue("02", "VALOR_3"), 2);
  EXPECT_NEAR(Factor("E2", "02"), 2000, 1e-6);
  EXPECT_TRUE(screen->window_enabled());
}

}  // namespace
