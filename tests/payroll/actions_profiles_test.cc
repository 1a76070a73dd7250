// Evaluation profiles: the criteria stored, the tests edited in a scratch
// copy (kept from the files until the profile is saved, dropped on
// "Cancelar"), the test dialog's refusals, a new code reaching the tests and
// the positions, and the tests deleted with their profile.
#include <gtest/gtest.h>

#include "catalog_editors_fixture.h"
#include "payroll/actions/perf_eva.h"

namespace {

using qz::E_PER_EV;
using qz::EvalTests;
using qztest::C;
using qztest::N;

class ProfilesTest : public qztest::CatalogEditorsTest {
 protected:
  void SetUp() override {
    qztest::CreateSchemaTable(inst.root + "PROFILE", "TMP_EV");
    Create("TIP_PRUE", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("IDIO")}, {"DESCRIP", C("Idiomas")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("TECN")}, {"DESCRIP", C("Tecnica")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("PLAY")}, {"DESCRIP", C("Playa")}}});
    Create("ENC_TIP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("SB")}, {"DESCRIP", C("Salario")}},
                       {{"NEGOCIO", C(hc)},
                        {"CODIGO", C("HE")},
                        {"DESCRIP", C("Horas Extra")},
                        {"VAL_DEPEND", N(1)}},
                       {{"NEGOCIO", C(hc)},
                        {"CODIGO", C("HD")},
                        {"DESCRIP", C("Horas Dobles")},
                        {"VAL_DEPEND", N(1)}}});
    Create("PERF_EVA", {{{"NEGOCIO", C(hc)},
                         {"CODIGO", C("OPER")},
                         {"DESCRIP", C("OPERATIVO")},
                         {"NOTA_MINI", N(70)},
                         {"AUMENTO", N(3.5)},
                         {"TIPO_EVAL", N(1)},
                         {"HOR_DETA", C("[HE]")}}});
    Create("PERF_EV2", {{{"NEGOCIO", C(hc)},
                         {"PERFIL", C("OPER")},
                         {"PRUEBA", C("IDIO")},
                         {"DESCRIP", C("Idiomas")},
                         {"NOTA_INI", N(60)},
                         {"NOTA_FIN", N(100)}},
                        {{"NEGOCIO", C(hc)},
                         {"PERFIL", C("OPER")},
                         {"PRUEBA", C("TECN")},
                         {"DESCRIP", C("Tecnica")},
                         {"NOTA_INI", N(70)},
                         {"NOTA_FIN", N(100)},
                         {"OBLIGA", N(1)}},
                        {{"NEGOCIO", C(hp)}, {"PERFIL", C("OPER")}, {"PRUEBA", C("PLAY")}}});
    Create("PUESTOS", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("MESE")}, {"PERFIL_EVA", C("OPER")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("MESE")}, {"PERFIL_EVA", C("OPER")}}});
    screen = qz::OpenScreen<qz::PERF_EVA>(desktop, "PERF_EVA", hc);
    ASSERT_NE(screen, nullptr);
  }
  E_PER_EV* Form(const char* verb) {
    EXPECT_TRUE(ui.Menu(verb));
    return dynamic_cast<E_PER_EV*>(Window("E_PER_EV"));
  }
  // The "Tipo de Prueba" dialog answers with `test`, the two marks and
  // presses "Aceptar"; refused, it cancels.
  void NextTest(const std::string& test, const std::string& from, const std::string& to) {
    ui.OnDialog("E_PER_E2", [=](qz::WDIAG& d) {
      if (!test.empty()) d.UserChoose(EvalTests::kPrueba, test);
      d.UserType(EvalTests::kNotaIni, from);
      d.UserType(EvalTests::kNotaFin, to);
      d.UserPress(1);
      if (!d.ended()) d.UserPress(2);
    });
  }
  std::vector<std::string> Tests(const std::string& business = "HOTEL CENTRAL") {
    return Rows("PERF_EV2", {"PERFIL", "PRUEBA", "NOTA_INI", "NOTA_FIN", "OBLIGA"}, business);
  }
  qz::PERF_EVA* screen = nullptr;
};

TEST_F(ProfilesTest, ANewProfileStoresItsCriteriaAndTheTestsChosen) {
  E_PER_EV* e = Form("Agregar");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Control(E_PER_EV::kHorDeta)->entries.size(), 2u);  // the hours columns
  ui.Type(e, E_PER_EV::kCodigo, "jefe");
  ui.Type(e, E_PER_EV::kDescrip, "Jefaturas");
  ui.Type(e, E_PER_EV::kAumento, "12.5");
  ui.Type(e, E_PER_EV::kNotaMini, "80");
  ui.Click(e, E_PER_EV::kSegunCada);
  e->UserSelect(E_PER_EV::kHorDeta, "Horas Dobles", true);
  NextTest("", "0", "100");
  ui.Press(e, E_PER_EV::kAgregar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{EvalTests::kNoTest});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  NextTest("Tecnica", "90", "80");
  ui.Press(e, E_PER_EV::kAgregar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{EvalTests::kRangeReversed});
  NextTest("Tecnica", "75", "100");
  ui.Press(e, E_PER_EV::kAgregar);
  NextTest("Tecnica", "60", "100");
  ui.Press(e, E_PER_EV::kAgregar);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{EvalTests::kTestTwice});
  EXPECT_EQ(e->grid()->RowCount(), 1);
  EXPECT_EQ(Tests().size(), 2u);  // nothing written before the profile is saved
  ui.Press(e, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Rows("PERF_EVA", {"CODIGO", "AUMENTO", "NOTA_MINI", "TIPO_EVAL", "HOR_DETA"}).back(),
            "CODIGO=JEFE AUMENTO=12.5 NOTA_MINI=80 TIPO_EVAL=1 HOR_DETA=[HD]");
  EXPECT_EQ(Tests().back(), "PERFIL=JEFE PRUEBA=TECN NOTA_INI=75 NOTA_FIN=100 OBLIGA=0");

  // The code of an existing profile is refused.
  e = Form("Agregar");
  ui.Type(e, E_PER_EV::kCodigo, "OPER");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código ya existe..."});
}

TEST_F(ProfilesTest, CancelLeavesTheTestsAndANewCodeTakesTestsAndPositions) {
  screen->oB()->Select(0);
  E_PER_EV* e = Form("Modificar");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Check(E_PER_EV::kSegunCada), 1);
  EXPECT_EQ(e->Text(E_PER_EV::kAumento), "3.5000");
  EXPECT_TRUE(e->Control(E_PER_EV::kHorDeta)->entries[1].selected);  // HE
  ASSERT_EQ(e->grid()->RowCount(), 2);
  e->grid()->Select(0);
  ui.Press(e, E_PER_EV::kBorrar);
  EXPECT_EQ(e->grid()->RowCount(), 1);
  ui.Press(e, 2);
  EXPECT_EQ(Tests().size(), 2u);

  e = Form("Modificar");
  ASSERT_EQ(e->grid()->RowCount(), 2);
  e->grid()->Select(0);  // IDIO
  ui.Press(e, E_PER_EV::kBorrar);
  e->grid()->Select(0);  // TECN
  std::string shown;
  ui.OnDialog("E_PER_E2", [&](qz::WDIAG& d) {
    shown = d.Text(EvalTests::kPrueba) + " " + d.Text(EvalTests::kNotaIni);
    d.UserType(EvalTests::kNotaIni, "65");
    d.UserPress(1);
  });
  ui.Press(e, E_PER_EV::kModificar);
  EXPECT_EQ(shown, "Tecnica 70.00");
  ui.Type(e, E_PER_EV::kCodigo, "OPE2");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Tests(),
            std::vector<std::string>{"PERFIL=OPE2 PRUEBA=TECN NOTA_INI=65 NOTA_FIN=100 OBLIGA=1"});
  EXPECT_EQ(Rows("PUESTOS", {"PERFIL_EVA"}), std::vector<std::string>{"PERFIL_EVA=OPE2"});
  EXPECT_EQ(Rows("PUESTOS", {"PERFIL_EVA"}, "HOTEL PLAYA"),
            std::vector<std::string>{"PERFIL_EVA=OPER"});
  EXPECT_EQ(Tests("HOTEL PLAYA").size(), 1u);
}

TEST_F(ProfilesTest, DeletingAProfileTakesItsTestsOnly) {
  screen->oB()->Select(0);
  ASSERT_TRUE(ui.Menu("Eliminar"));
  EXPECT_EQ(ui.boxes().back().text, "¿Desea borrar el item seleccionado?");
  EXPECT_TRUE(Rows("PERF_EVA", {"CODIGO"}).empty());
  EXPECT_TRUE(Tests().empty());
  EXPECT_EQ(Tests("HOTEL PLAYA").size(), 1u);
}

}  // namespace
