// The hours-report columns form: column 1 among the base-salary column types,
// columns 2..20 among the hourly-cost ones, the ranges, a drop-down left
// without a choice keeping its code, and a business without a row.
#include "payroll/def_r_ho.h"

#include <gtest/gtest.h>

#include "format_session.h"

namespace {

using qz::DEF_R_HO;
using qztest::C;
using qztest::N;

class DefRHoTest : public qztest::FormatSession {
 protected:
  void SetUp() override {
    Create("ENC_TIP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("Salario")}, {"VAL_BASE", N(1)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("02")}, {"DESCRIP", C("Extras")}, {"VAL_DEPEND", N(1)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("03")}, {"DESCRIP", C("Dobles")}, {"VAL_DEPEND", N(1)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("04")}, {"DESCRIP", C("CCSS")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("05")}, {"DESCRIP", C("Playa")}, {"VAL_BASE", N(1)}}});
    Create("F_PLAN7", {{{"NEGOCIO", C(hc)},
                        {"HORA_BASE", C("01")},
                        {"HORA_1", C("03")},
                        {"HORA_2", C("77")},  // a column type that no longer exists
                        {"ROT_BASE", C("Salario")},
                        {"RANG_HOR1", N(20)},
                        {"RANG_HOR2", N(40)},
                        {"RANG_PAX1", N(50)},
                        {"DIAS_LIQ", N(1)}}});
  }
  DEF_R_HO* Open(const std::string& business = "") {
    return OpenFromMenu<DEF_R_HO>("DEF_R_HO", "DEF_R_HO", business);
  }
};

TEST_F(DefRHoTest, ColumnsOfferTheirKindOfColumnTypeAndLoadTheRow) {
  DEF_R_HO* f = Open();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(EditCaptions(), std::vector<std::string>{"No hay operaciones asociadas"});
  EXPECT_EQ(Texts(f, DEF_R_HO::kColumnaBase), (std::vector<std::string>{"(Ninguna)", "Salario"}));
  EXPECT_EQ(Texts(f, DEF_R_HO::kColumna + 2),
            (std::vector<std::string>{"(Ninguna)", "Extras", "Dobles"}));
  EXPECT_EQ(Texts(f, DEF_R_HO::kColumna + 20), Texts(f, DEF_R_HO::kColumna + 2));
  EXPECT_EQ(f->Text(DEF_R_HO::kColumnaBase), "Salario");
  EXPECT_EQ(f->Text(DEF_R_HO::kColumna + 2), "Dobles");
  EXPECT_EQ(f->Text(DEF_R_HO::kColumna + 3), "");  // "77" is not offered
  EXPECT_EQ(f->Text(DEF_R_HO::kRotBase), "Salario");
  EXPECT_EQ(f->Text(DEF_R_HO::kRangHor + 2), "40");
  EXPECT_EQ(f->Text(DEF_R_HO::kRangPax + 1), "50");
  EXPECT_EQ(f->dialog_template()->Find(DEF_R_HO::kColumna + 20)->label, "Columna 20:");
}

TEST_F(DefRHoTest, GuardarWritesTheChoicesAndKeepsWhatWasNotChosen) {
  DEF_R_HO* f = Open();
  f->UserChoose(DEF_R_HO::kColumna + 2, "Extras");
  f->UserChoose(DEF_R_HO::kColumna + 5, "Dobles");
  ui.Type(f, DEF_R_HO::kRangHor + 3, "60");
  ui.Type(f, DEF_R_HO::kRangPax + 2, "100");
  ui.Type(f, DEF_R_HO::kRotBase, "Base");
  ui.Press(f, DEF_R_HO::kGuardar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{});
  EXPECT_EQ(Rows("F_PLAN7", {"HORA_BASE", "HORA_1", "HORA_2", "HORA_4", "ROT_BASE", "RANG_HOR3",
                             "RANG_PAX2", "DIAS_LIQ"}),
            std::vector<std::string>{"01|02|77|03|Base|60|100|1"});
  // "(Ninguna)" empties a column.
  f->UserChoose(DEF_R_HO::kColumna + 5, "(Ninguna)");
  ui.Press(f, DEF_R_HO::kGuardar);
  EXPECT_EQ(Rows("F_PLAN7", {"HORA_4"}), std::vector<std::string>{""});
  // The row is released after each "Guardar".
  auto other = xb::Table::Open(file("F_PLAN7.DBF"));
  ASSERT_TRUE(other.ok());
  EXPECT_TRUE((*other)->LockRecord(1).ok());
  (*other)->UnlockAll();
  ui.Press(f, 1);  // "Salir"
  EXPECT_EQ(desktop.FindWindow("DEF_R_HO"), nullptr);
}

TEST_F(DefRHoTest, RangesMustRiseAndNothingIsWrittenOtherwise) {
  DEF_R_HO* f = Open();
  ui.Type(f, DEF_R_HO::kRangHor + 3, "30");  // below 40
  ui.Press(f, DEF_R_HO::kGuardar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Cada rango debe ser mayor que el anterior"});
  EXPECT_EQ(f->focus(), DEF_R_HO::kRangHor + 3);
  EXPECT_EQ(Rows("F_PLAN7", {"RANG_HOR3"}), std::vector<std::string>{"0"});
}

TEST_F(DefRHoTest, ABusinessWithoutARowGetsOneOnGuardar) {
  DEF_R_HO* f = Open(hp);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Texts(f, DEF_R_HO::kColumnaBase), (std::vector<std::string>{"(Ninguna)", "Playa"}));
  EXPECT_EQ(f->Text(DEF_R_HO::kColumnaBase), "");
  f->UserChoose(DEF_R_HO::kColumnaBase, "Playa");
  ui.Type(f, DEF_R_HO::kRangHor + 1, "10");
  ui.Press(f, DEF_R_HO::kGuardar);
  EXPECT_EQ(Rows("F_PLAN7", {"HORA_BASE", "RANG_HOR1"}, hp), std::vector<std::string>{"05|10"});
  EXPECT_EQ(Rows("F_PLAN7", {"HORA_BASE"}, hc), std::vector<std::string>{"01"});
}

}  // namespace
