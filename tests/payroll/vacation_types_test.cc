// Vacation types (DEF_VAC / MANT_VAC) and the days of a type (DEF_VAC2 /
// MNT_VAC2): the blank and default rules, the days window scoped to its type
// and the list behind it out of use meanwhile, and a new code carried into
// the type's days and employees.
#include "payroll/def_vac.h"

#include <gtest/gtest.h>

#include "catalog_editors_fixture.h"
#include "payroll/def_vac2.h"

namespace {

using qz::DEF_VAC;
using qz::DEF_VAC2;
using qz::MANT_VAC;
using qz::MNT_VAC2;
using qztest::C;
using qztest::N;

class VacationTypesTest : public qztest::CatalogEditorsTest {
 protected:
  void SetUp() override {
    Create("ENC_VAC", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("LEY")}, {"DESCRIP", C("DE LEY")}, {"DEFAULT", N(1)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("GER")}, {"DESCRIP", C("GERENCIA")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("LEY")}, {"DESCRIP", C("PLAYA")}, {"DEFAULT", N(1)}}});
    Create("DET_VAC", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("LEY")}, {"MES", N(0)}, {"D_MES", N(1)}, {"D_ANHO", N(12)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("LEY")}, {"MES", N(60)}, {"D_MES", N(1.25)}, {"D_ANHO", N(15)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("GER")}, {"MES", N(0)}, {"D_MES", N(1.5)}, {"D_ANHO", N(18)}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("LEY")}, {"MES", N(0)}, {"D_MES", N(1)}, {"D_ANHO", N(12)}}});
    Create("ENC_PERS", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("E1")}, {"TIPO_VAC", C("LEY")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("E2")}, {"TIPO_VAC", C("GER")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("E3")}, {"TIPO_VAC", C("LEY")}}});
    screen = qz::OpenScreen<DEF_VAC>(desktop, "DEF_VAC", hc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }
  MANT_VAC* Editor() { return dynamic_cast<MANT_VAC*>(Window("MANT_VAC")); }
  DEF_VAC2* Days() { return dynamic_cast<DEF_VAC2*>(Window("DEF_VAC2")); }
  MNT_VAC2* DayEditor() { return dynamic_cast<MNT_VAC2*>(Window("MNT_VAC2")); }
  void SelectType(const std::string& code) {
    for (int r = 0; r < grid->RowCount(); ++r)
      if (qz::TrimRight(grid->Cell(r, 0)) == code) {
        ASSERT_TRUE(grid->Select(r).ok());
      }
  }

  DEF_VAC* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(VacationTypesTest, BlankCodeOrDescriptionAndASecondDefaultAreRefused) {
  ASSERT_TRUE(ui.Menu("Agregar"));
  MANT_VAC* e = Editor();
  ASSERT_NE(e, nullptr);
  ui.Press(e, 1);
  ui.Type(e, MANT_VAC::kCodigo, "VIP");
  ui.Press(e, 1);
  ui.Type(e, MANT_VAC::kDescrip, "Ejecutivos");
  ui.Click(e, MANT_VAC::kDefault);
  ui.Press(e, 1);  // HOTEL CENTRAL already has LEY as its default
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"El código no puede definirse en blanco",
                                      "La descripción no puede definirse en blanco",
                                      "Ya existe un tipo de vacaciones por defecto"}));
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(Editor(), e);
  EXPECT_EQ(Rows("ENC_VAC", {"CODIGO"}).size(), 2u);
  ui.Click(e, MANT_VAC::kDefault);
  ui.Press(e, 1);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Rows("ENC_VAC", {"CODIGO", "DEFAULT"}),
            (std::vector<std::string>{"CODIGO=LEY DEFAULT=1", "CODIGO=GER DEFAULT=0",
                                      "CODIGO=VIP DEFAULT=0"}));
}

TEST_F(VacationTypesTest, TheDefaultTypeKeepsItsFlagAndAnotherTakesItOnlyOnceFreed) {
  SelectType("LEY");
  ui.Menu("Modificar");
  EXPECT_EQ(Editor()->Check(MANT_VAC::kDefault), 1);
  ui.Type(Editor(), MANT_VAC::kDescrip, "VACACIONES DE LEY");
  ui.Press(Editor(), 1);  // the default itself is not "another" default
  EXPECT_TRUE(ui.TakeBoxTexts().empty());

  SelectType("GER");
  ui.Menu("Modificar");
  ui.Click(Editor(), MANT_VAC::kDefault);
  ui.Press(Editor(), 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Ya existe un tipo de vacaciones por defecto"});
  ui.Press(Editor(), 2);

  SelectType("LEY");
  ui.Menu("Modificar");
  ui.Click(Editor(), MANT_VAC::kDefault);
  ui.Press(Editor(), 1);
  SelectType("GER");
  ui.Menu("Modificar");
  ui.Click(Editor(), MANT_VAC::kDefault);
  ui.Press(Editor(), 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Rows("ENC_VAC", {"CODIGO", "DEFAULT"}),
            (std::vector<std::string>{"CODIGO=LEY DEFAULT=0", "CODIGO=GER DEFAULT=1"}));
  // The other business's default was never in the way.
  EXPECT_EQ(Rows("ENC_VAC", {"DEFAULT"}, "HOTEL PLAYA"), std::vector<std::string>{"DEFAULT=1"});
}

TEST_F(VacationTypesTest, DuplicateCodeAndAnEmptyListAreTold) {
  ui.Menu("Agregar");
  ui.Type(Editor(), MANT_VAC::kCodigo, "GER");
  ui.Type(Editor(), MANT_VAC::kDescrip, "Otra");
  ui.Press(Editor(), 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"El código ya existe"});
  ui.Press(Editor(), 2);

  // A business without types.
  auto* empty = qz::OpenScreen<DEF_VAC>(desktop, "DEF_VAC", qztest::Biz("HOTEL MONTAÑA"));
  ASSERT_NE(empty, nullptr);
  ui.Menu("Modificar");
  ui.Menu("Borrar");
  ui.Press(empty, DEF_VAC::kAsignarDias);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"No hay registros a modificar", "No hay registros a modificar",
                                      "No hay registros para asignarle días"}));
  EXPECT_EQ(ui.boxes().back().title, "Aviso");
  EXPECT_EQ(Days(), nullptr);
}

TEST_F(VacationTypesTest, DaysWindowEditsOnlyItsTypeWhileTheTypesAreOutOfUse) {
  SelectType("LEY");
  ASSERT_TRUE(ui.Press(screen, DEF_VAC::kAsignarDias));
  DEF_VAC2* days = Days();
  ASSERT_NE(days, nullptr);
  EXPECT_EQ(desktop.edit_menu_id(), DEF_VAC2::kMenuId);
  EXPECT_EQ(days->oB()->RowCount(), 2);  // LEY of HOTEL CENTRAL only
  EXPECT_EQ(days->oB()->Cell(1, 1), "   60.00");
  EXPECT_FALSE(screen->window_enabled());
  // The types list brought to the front offers nothing while its days are open.
  desktop.Activate(screen);
  EXPECT_FALSE(Entry("Borrar")->Enabled());
  EXPECT_FALSE(ui.Menu("Borrar"));
  EXPECT_FALSE(ui.Press(screen, DEF_VAC::kAsignarDias));
  desktop.Activate(days);

  ASSERT_TRUE(ui.Menu("Agregar"));
  MNT_VAC2* e = DayEditor();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(MNT_VAC2::kCodigo), "LEY");
  ui.Type(e, MNT_VAC2::kMes, "120");
  ui.Type(e, MNT_VAC2::kDiaMes, "1.5");
  ui.Press(e, 1);
  ui.Type(e, MNT_VAC2::kDiaAnho, "18");
  ui.Type(e, MNT_VAC2::kMes, "60");
  ui.Press(e, 1);
  ui.Type(e, MNT_VAC2::kMes, "120");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"No pueden definirse campos en blanco",
                                      MNT_VAC2::kMonthTaken}));
  EXPECT_EQ(days->oB()->RowCount(), 3);

  days->oB()->Select(0);
  ui.Menu("Modificar");
  EXPECT_EQ(DayEditor()->Text(MNT_VAC2::kDiaAnho), "12.00");
  ui.Type(DayEditor(), MNT_VAC2::kDiaAnho, "14");
  ui.Press(DayEditor(), 1);
  days->oB()->Select(1);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Desea borrar el registro?"});
  EXPECT_EQ(Rows("DET_VAC", {"CODIGO", "MES", "D_MES", "D_ANHO"}),
            (std::vector<std::string>{"CODIGO=LEY MES=0 D_MES=1 D_ANHO=14",
                                      "CODIGO=GER MES=0 D_MES=1.5 D_ANHO=18",
                                      "CODIGO=LEY MES=120 D_MES=1.5 D_ANHO=18"}));

  ui.Press(days, 1);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(desktop.active(), screen);
  EXPECT_EQ(desktop.edit_menu_id(), DEF_VAC::kMenuId);
  EXPECT_TRUE(Entry("Borrar")->Enabled());
}

TEST_F(VacationTypesTest, ClosingEverythingWithTheDaysOpenLeavesNothingBehind) {
  SelectType("GER");
  ui.Press(screen, DEF_VAC::kAsignarDias);
  ASSERT_NE(Days(), nullptr);
  desktop.CloseAll();
  EXPECT_TRUE(desktop.windows().empty());
}

TEST_F(VacationTypesTest, NewCodeIsCarriedIntoTheDaysAndEmployeesAndDeletingTakesTheDays) {
  SelectType("LEY");
  ui.Menu("Modificar");
  ui.Type(Editor(), MANT_VAC::kCodigo, "LEY2");
  ui.Press(Editor(), 1);
  EXPECT_EQ(Rows("DET_VAC", {"CODIGO"}),
            (std::vector<std::string>{"CODIGO=LEY2", "CODIGO=LEY2", "CODIGO=GER"}));
  EXPECT_EQ(Rows("ENC_PERS", {"CODIGO", "TIPO_VAC"}, ""),
            (std::vector<std::string>{"CODIGO=E1 TIPO_VAC=LEY2", "CODIGO=E2 TIPO_VAC=GER",
                                      "CODIGO=E3 TIPO_VAC=LEY"}));

  SelectType("LEY2");
  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(Rows("DET_VAC", {"CODIGO"}).size(), 3u);  // cancelled
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"Desea borrar el registro?", "Desea borrar el registro?"}));
  EXPECT_EQ(Rows("ENC_VAC", {"CODIGO"}), std::vector<std::string>{"CODIGO=GER"});
  EXPECT_EQ(Rows("DET_VAC", {"CODIGO"}), std::vector<std::string>{"CODIGO=GER"});
  EXPECT_EQ(Rows("DET_VAC", {"CODIGO"}, "HOTEL PLAYA"), std::vector<std::string>{"CODIGO=LEY"});
}

}  // namespace
