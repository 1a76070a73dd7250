// Work schedules: the factor question after a save, the recalculation of
// the hourly-cost factors of the schedule's employees (checked against
// figures worked out by hand), a factor of 0, and a code carried into the
// employees.
#include "payroll/tiempo_e.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/ui_session.h"

namespace {

using qz::TIEMPO_E;
using qztest::C;
using qztest::N;

const std::string kHc = qztest::Biz("HOTEL CENTRAL");
const std::string kHp = qztest::Biz("HOTEL PLAYA");

class TiempoETest : public qztest::UiSession {
 protected:
  void SetUp() override {
    // Costs rounded upwards to 2 decimals; monthly payroll divided by 30.
    Create("F_PLAN", {{{"NEGOCIO", C(kHc)}, {"RED_COSTO", N(1)}, {"DEC_COSTO", N(2)}}});
    Create("TIP_PLA", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("M")}, {"VAL_DIV", N(30)}}});
    Create("TIEMPO_E", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("08")}, {"DESCRIP", C("DIURNA")},
                         {"FACTOR", N(8)}, {"HORA_LIBRE", N(1)}, {"HORA_RESTA", N(48)}},
                        {{"NEGOCIO", C(kHc)}, {"CODIGO", C("06")}, {"DESCRIP", C("NOCTURNA")},
                         {"FACTOR", N(6)}},
                        {{"NEGOCIO", C(kHp)}, {"CODIGO", C("08")}, {"FACTOR", N(8)}}});
    auto type = [](const char* code, int base, int depend, double valor_3) {
      return qztest::Row{{"NEGOCIO", C(kHc)},      {"CODIGO", C(code)},
                         {"VAL_BASE", N(base)},    {"VAL_DEPEND", N(depend)},
                         {"VALOR_3", N(valor_3)},  {"TIPO", N(1)}};
    };
    Create("ENC_TIP", {type("SB", 1, 0, 0), type("HX", 0, 1, 1.5), type("HD", 0, 1, 2)});
    Create("ENC_DEPT", {{{"NEGOCIO", C(kHc)}, {"CODIGO", C("D1")}, {"TIPO", C("M")}}});
    auto employee = [](const std::string& biz, const char* code, const char* schedule) {
      return qztest::Row{{"NEGOCIO", C(biz)}, {"CODIGO", C(code)}, {"DEPTO", C("D1")},
                         {"COD_TIEMPO", C(schedule)}};
    };
    Create("ENC_PERS", {employee(kHc, "E1", "08"), employee(kHc, "E2", "06"),
                        employee(kHc, "E3", "08"), employee(kHp, "E4", "08")});
    std::vector<qztest::Row> values;
    auto value = [&](const std::string& biz, const char* emp, const char* col, double v) {
      values.push_back({{"NEGOCIO", C(biz)}, {"CODIGO", C(emp)}, {"COD_COLUMN", C(col)},
                        {"VALOR_1", N(v)}, {"FACTOR", N(9)}});
    };
    value(kHc, "E1", "SB", 100000);
    value(kHc, "E1", "HX", 0);
    value(kHc, "E1", "HD", 0);
    value(kHc, "E2", "SB", 90000);
    value(kHc, "E2", "HX", 0);
    value(kHc, "E3", "SB", 250000);
    value(kHc, "E3", "HX", 0);
    value(kHp, "E4", "SB", 100000);
    value(kHp, "E4", "HX", 0);
    Create("DET_PERS", values);
    for (const char* t : {"H_E_PERS", "H_TIP_PL", "H_E_DEPT", "T_CAMBIO"}) Create(t);
    screen = qz::OpenScreen<TIEMPO_E>(desktop, "TIEMPO_E", kHc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }

  double Factor(const std::string& biz, const std::string& emp, const std::string& col) {
    auto t = xb::Table::Open(file("DET_PERS.DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if (qz::FieldText(**t, "NEGOCIO") == qz::TrimRight(biz) &&
          qz::FieldText(**t, "CODIGO") == emp && qz::FieldText(**t, "COD_COLUMN") == col)
        return (*t)->Get("FACTOR")->number();
    }
    return NAN;
  }
  // Opens "Modificar" on `row` and types `factor`; `answer` goes to the
  // recalculation question.
  void ChangeFactor(int row, const std::string& factor, int answer) {
    grid->Select(row);
    ui.OnDialog("MODITIEMPO_E", [&](qz::WDIAG& d) {
      d.UserType(502, factor);
      d.UserPress(1);
    });
    ui.AnswerNext(answer);
    ASSERT_TRUE(ui.Menu("Modificar"));
  }

  TIEMPO_E* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(TiempoETest, ChangedFactorAsksAndRecalculatesTheScheduleEmployees) {
  ChangeFactor(1, "7", 1);  // "08": 8 -> 7 hours
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].text, "Los montos en las planillas se van a actualizar\r\n¿Desea Continuar?");
  EXPECT_EQ(ui.boxes()[0].title, "Advertencia");
  EXPECT_EQ(ui.boxes()[0].style, 49);
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Recalculando campos ......"});
  EXPECT_FALSE(ui.wait_open());
  // E1: 100000 / 30 / 7 = 476.190476..., rounded upwards to 476.20;
  // HX = 476.20 x 1.5 = 714.30, HD = 476.20 x 2 = 952.40.
  EXPECT_NEAR(Factor(kHc, "E1", "HX"), 714.30, 1e-6);
  EXPECT_NEAR(Factor(kHc, "E1", "HD"), 952.40, 1e-6);
  // E3: 250000 / 30 / 7 = 1190.476190..., upwards 1190.48; x 1.5 = 1785.72.
  EXPECT_NEAR(Factor(kHc, "E3", "HX"), 1785.72, 1e-6);
  EXPECT_EQ(Factor(kHc, "E1", "SB"), 9);  // the base row keeps its own
  EXPECT_EQ(Factor(kHc, "E2", "HX"), 9);  // another schedule
  EXPECT_EQ(Factor(kHp, "E4", "HX"), 9);  // another business
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
}

TEST_F(TiempoETest, CancelKeepsTheNewFactorButNotTheRecalculation) {
  ChangeFactor(1, "7", 2);
  EXPECT_TRUE(ui.wait_texts().empty());
  EXPECT_EQ(Factor(kHc, "E1", "HX"), 9);
  grid->Select(1);
  ui.OnDialog("MODITIEMPO_E", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(502), "7.00000");
    EXPECT_EQ(d.Text(503), "1.00");
    d.UserType(501, "DIURNA CORTA");  // the factor stays: no question
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(ui.boxes().size(), 1u);
}

TEST_F(TiempoETest, FactorZeroStoresZeroInsteadOfDividing) {
  ChangeFactor(1, "0", 1);
  EXPECT_EQ(Factor(kHc, "E1", "HX"), 0);
  EXPECT_EQ(Factor(kHc, "E1", "HD"), 0);
  EXPECT_EQ(Factor(kHc, "E3", "HX"), 0);
  EXPECT_EQ(Factor(kHc, "E2", "HX"), 9);
}

TEST_F(TiempoETest, NewScheduleAsksAndStoresItsHours) {
  ui.OnDialog("MODITIEMPO_E", [&](qz::WDIAG& d) {
    d.UserType(500, "04");
    d.UserType(501, "MEDIO TIEMPO");
    d.UserType(502, "4");
    d.UserType(503, "0.5");
    d.UserType(504, "24");
    d.UserPress(1);
  });
  ui.AnswerNext(1);
  ui.Menu("Agregar");
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].style, 49);
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "04");
  auto t = xb::Table::Open(file("TIEMPO_E.DBF"));
  (*t)->GoBottom();
  EXPECT_EQ((*t)->Get("FACTOR")->number(), 4);
  EXPECT_EQ((*t)->Get("HORA_LIBRE")->number(), 0.5);
  EXPECT_EQ((*t)->Get("HORA_RESTA")->number(), 24);
}

TEST_F(TiempoETest, RenameCarriesIntoTheEmployeesAndDuplicatesAreRefused) {
  grid->Select(1);  // "08"
  ui.OnDialog("MODITIEMPO_E", [&](qz::WDIAG& d) {
    d.UserType(500, "06");
    d.UserPress(1);
    d.UserType(500, "09");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de  ya definido..."});
  auto t = xb::Table::Open(file("ENC_PERS.DBF"));
  std::vector<std::string> codes;
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
    codes.push_back(qz::FieldText(**t, "CODIGO") + "=" + qz::FieldText(**t, "COD_TIEMPO"));
  EXPECT_EQ(codes, (std::vector<std::string>{"E1=09", "E2=06", "E3=09", "E4=08"}));

  ui.OnDialog("MODITIEMPO_E", [&](qz::WDIAG& d) {
    d.UserType(500, "06");
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Menu("Agregar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código  ya definido..."});
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar el item?");
}

}  // namespace
