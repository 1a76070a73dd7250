// Approval stages and the persons in charge of authorising: a renamed
// stage keeps every person, action type and parameter attached to it, a
// deleted one leaves the persons' lists, both all or nothing; the stage
// form's values and the person form's lists and password.
#include <gtest/gtest.h>

#include "catalog_editors_fixture.h"
#include "lib/security/passwords.h"
#include "payroll/actions/auto_pla.h"
#include "payroll/actions/etap_pla.h"
#include "payroll/actions/stage_lists.h"

namespace {

using qz::M_AU_PLA;
using qz::MANT_PLA;
using qztest::C;
using qztest::N;

class StagesTest : public qztest::CatalogEditorsTest {
 protected:
  void SetUp() override {
    Create(
        "ETAP_PLA",
        {{{"NEGOCIO", C(hc)}, {"CODIGO", C("0001")}, {"DESCRIP", C("Solicitud")}, {"TIPO", N(1)}},
         {{"NEGOCIO", C(hc)},
          {"CODIGO", C("0002")},
          {"DESCRIP", C("Revision")},
          {"TIPO", N(2)},
          {"NO_BORRA", N(1)},
          {"HORA1", C("08:00:00")}},
         {{"NEGOCIO", C(hc)}, {"CODIGO", C("0003")}, {"DESCRIP", C("Aprobada")}, {"TIPO", N(3)}},
         {{"NEGOCIO", C(hp)}, {"CODIGO", C("0002")}, {"DESCRIP", C("Playa")}}});
    Create("AUTO_PLA", {{{"NEGOCIO", C(hc)},
                         {"CODIGO", C("RRHH")},
                         {"NOMBRE", C("MARIA")},
                         {"ETAPAS_MOD", C("[0001][0002]")},
                         {"ETAPAS_AUT", C("[0002]")}},
                        {{"NEGOCIO", C(hc)},
                         {"CODIGO", C("GERE")},
                         {"NOMBRE", C("CARLOS")},
                         {"ETAPAS_AUT", C("[0002][0003]")},
                         {"CLAVE", C(qz::ENCRYPT_STRING("VIEJA", 1))}},
                        {{"NEGOCIO", C(hp)},
                         {"CODIGO", C("RRHH")},
                         {"NOMBRE", C("PLAYA")},
                         {"ETAPAS_MOD", C("[0002]")}}});
    Create("TIP_ACC2", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("10")}, {"ETAPA_INI", C("0002")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("10")}, {"ETAPA_INI", C("0002")}}});
    Create("TIP_ACC", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"ETAPA_INI", C("0002")}}});
    Create("F_PLAN", {{{"NEGOCIO", C(hc)},
                       {"ETAP_INI", C("0001")},
                       {"ETAP_INTER", C("0002")},
                       {"ETAP_FIN", C("0003")}}});
  }
  qz::ETAP_PLA* Stages() {
    auto* s = qz::OpenScreen<qz::ETAP_PLA>(desktop, "ETAP_PLA", hc);
    EXPECT_NE(s, nullptr);
    return s;
  }
  // The stored bytes of the password of record `recno`.
  std::string Clave(uint32_t recno) {
    auto t = xb::Table::Open(file("AUTO_PLA.DBF"));
    if (!t.ok() || !(*t)->GoTo(recno).ok()) return "";
    return qz::FieldBytes(**t, "CLAVE");
  }
  std::vector<std::string> Lists(const std::string& business = "HOTEL CENTRAL") {
    return Rows("AUTO_PLA", {"CODIGO", "ETAPAS_MOD", "ETAPAS_AUT"}, business);
  }
};

TEST_F(StagesTest, ARenamedStageKeepsEveryPersonTypeAndParameterAttached) {
  auto* s = Stages();
  s->oB()->Select(1);
  ASSERT_TRUE(ui.Menu("Modificar"));
  auto* e = dynamic_cast<MANT_PLA*>(Window("MANT_PLA"));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Check(MANT_PLA::kFirstTipo + 1), 1);
  EXPECT_EQ(e->Check(MANT_PLA::kFirstFlag + 4), 1);  // NO_BORRA
  ui.Type(e, MANT_PLA::kCodigo, "20");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Lists(), (std::vector<std::string>{"CODIGO=RRHH ETAPAS_MOD=[0001][20] ETAPAS_AUT=[20]",
                                               "CODIGO=GERE ETAPAS_MOD= ETAPAS_AUT=[20][0003]"}));
  EXPECT_EQ(Rows("TIP_ACC2", {"ETAPA_INI"}), std::vector<std::string>{"ETAPA_INI=20"});
  EXPECT_EQ(Rows("TIP_ACC", {"ETAPA_INI"}), std::vector<std::string>{"ETAPA_INI=20"});
  EXPECT_EQ(Rows("F_PLAN", {"ETAP_INI", "ETAP_INTER", "ETAP_FIN"}),
            std::vector<std::string>{"ETAP_INI=0001 ETAP_INTER=20 ETAP_FIN=0003"});
  // The other business's stage of the same code is another stage.
  EXPECT_EQ(Lists("HOTEL PLAYA"),
            std::vector<std::string>{"CODIGO=RRHH ETAPAS_MOD=[0002] ETAPAS_AUT="});
  EXPECT_EQ(Rows("TIP_ACC2", {"ETAPA_INI"}, "HOTEL PLAYA"),
            std::vector<std::string>{"ETAPA_INI=0002"});
}

TEST_F(StagesTest, ARenameWaitsForNobodyHalfway) {
  auto* s = Stages();
  s->oB()->Select(1);
  ui.Menu("Modificar");
  auto* e = dynamic_cast<MANT_PLA*>(Window("MANT_PLA"));
  ui.Type(e, MANT_PLA::kCodigo, "0020");
  const auto before = Lists();
  {
    auto other = LockedBy("AUTO_PLA", 1);  // RRHH, after GERE in code order
    ui.Press(e, 1);
  }
  // GERE was already rewritten when RRHH could not be: it is put back.
  EXPECT_EQ(Lists(), before);
  EXPECT_EQ(Rows("ETAP_PLA", {"CODIGO"})[1], "CODIGO=0002");
  EXPECT_EQ(Rows("TIP_ACC2", {"ETAPA_INI"}), std::vector<std::string>{"ETAPA_INI=0002"});
  ASSERT_EQ(Window("MANT_PLA"), e);
  ui.Press(e, 1);
  EXPECT_EQ(Lists()[1], "CODIGO=GERE ETAPAS_MOD= ETAPAS_AUT=[0020][0003]");
}

TEST_F(StagesTest, ADeletedStageLeavesThePersonsLists) {
  auto* s = Stages();
  s->oB()->Select(1);
  ui.AnswerNext(2);
  ASSERT_TRUE(ui.Menu("Borrar"));
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"¿Desea borrar la Etapa?"});
  EXPECT_EQ(Lists()[0], "CODIGO=RRHH ETAPAS_MOD=[0001][0002] ETAPAS_AUT=[0002]");
  ASSERT_TRUE(ui.Menu("Borrar"));
  EXPECT_EQ(Rows("ETAP_PLA", {"CODIGO"}), (std::vector<std::string>{"CODIGO=0001", "CODIGO=0003"}));
  EXPECT_EQ(Lists(), (std::vector<std::string>{"CODIGO=RRHH ETAPAS_MOD=[0001] ETAPAS_AUT=",
                                               "CODIGO=GERE ETAPAS_MOD= ETAPAS_AUT=[0003]"}));
  EXPECT_EQ(Lists("HOTEL PLAYA")[0], "CODIGO=RRHH ETAPAS_MOD=[0002] ETAPAS_AUT=");
}

TEST_F(StagesTest, SignaturesFollowARenamedOrDeletedStageWithTheRestOfTheChange) {
  Create("USR_REQ", {{{"NEGOCIO", C(hc)},
                      {"CODIGO", C("01")},
                      {"NOMBRE", C("COMPRAS")},
                      {"ETAPAS_REQ", C("[0002][0003]")},
                      {"ETAPAS_CXP", C("[0002]")},
                      {"NOTIFICA", C("[0001][0002]")}},
                     {{"NEGOCIO", C(hp)}, {"CODIGO", C("01")}, {"ETAPAS_REQ", C("[0002]")}}});
  const std::vector<std::string> fields = {"ETAPAS_REQ", "ETAPAS_CXP", "ETAPAS_ABO", "NOTIFICA"};
  auto* s = Stages();
  s->oB()->Select(1);
  ui.Menu("Modificar");
  auto* e = dynamic_cast<MANT_PLA*>(Window("MANT_PLA"));
  ui.Type(e, MANT_PLA::kCodigo, "0020");
  const auto persons = Lists();
  {
    // Someone is editing the signature: the persons already carried over are
    // put back, and the stage keeps its code.
    auto other = LockedBy("USR_REQ", 1);
    ui.Press(e, 1);
  }
  EXPECT_EQ(Lists(), persons);
  EXPECT_EQ(Rows("ETAP_PLA", {"CODIGO"})[1], "CODIGO=0002");
  EXPECT_EQ(Rows("USR_REQ", fields)[0],
            "ETAPAS_REQ=[0002][0003] ETAPAS_CXP=[0002] ETAPAS_ABO= NOTIFICA=[0001][0002]");
  ui.TakeBoxTexts();
  ASSERT_EQ(Window("MANT_PLA"), e);
  ui.Press(e, 1);
  EXPECT_EQ(Rows("USR_REQ", fields),
            std::vector<std::string>{
                "ETAPAS_REQ=[0020][0003] ETAPAS_CXP=[0020] ETAPAS_ABO= NOTIFICA=[0001][0020]"});
  EXPECT_EQ(Rows("USR_REQ", {"ETAPAS_REQ"}, "HOTEL PLAYA"),
            std::vector<std::string>{"ETAPAS_REQ=[0002]"});

  s->oB()->Select(0);  // 0001
  ASSERT_TRUE(ui.Menu("Borrar"));
  EXPECT_EQ(Rows("USR_REQ", {"NOTIFICA"}), std::vector<std::string>{"NOTIFICA=[0020]"});
}

TEST_F(StagesTest, RemovingACodeTouchesOnlyThatWholeCode) {
  EXPECT_EQ(qz::RemoveBracketedCode("[01][0001][01  ][1]", "01"), "[0001][1]");
  EXPECT_EQ(qz::RemoveBracketedCode("[AB][CD", "CD"), "[AB][CD");
  EXPECT_EQ(qz::RemoveBracketedCode("", "01"), "");
}

TEST_F(StagesTest, StageFormStoresKindOptionsAndHoursAndRefusesWhatItCannotStore) {
  Stages();
  ASSERT_TRUE(ui.Menu("Agregar"));
  auto* e = dynamic_cast<MANT_PLA*>(Window("MANT_PLA"));
  ASSERT_NE(e, nullptr);
  ui.Type(e, MANT_PLA::kCodigo, "0003");
  ui.Type(e, MANT_PLA::kDescrip, "Anulada");
  ui.Click(e, MANT_PLA::kFirstTipo + 4);
  ui.Click(e, MANT_PLA::kFirstFlag + 1);  // NO_MOSTRAR
  ui.Click(e, MANT_PLA::kNotificar);
  ui.Type(e, MANT_PLA::kTiempo1, "15");
  ui.Type(e, MANT_PLA::kHora1, "25:00");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"La hora \"25:00\" no es válida"});
  ui.Type(e, MANT_PLA::kHora1, "7:30");
  ui.Press(e, 1);
  // Persons and definitions name stages by code: one code, one stage.
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código ya existe..."});
  ui.Type(e, MANT_PLA::kCodigo, "0005");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(
      Rows("ETAP_PLA",
           {"CODIGO", "TIPO", "NO_MOSTRAR", "NO_BORRA", "NOTIFICAR1", "TIEMPO1", "HORA1", "HORA2"})
          .back(),
      "CODIGO=0005 TIPO=5 NO_MOSTRAR=1 NO_BORRA=0 NOTIFICAR1=1 TIEMPO1=15 HORA1=07:30:00 HORA2=17:00:00");
}

TEST_F(StagesTest, PersonFormListsTheBusinessStagesAndKeepsThePasswordUnseen) {
  auto* s = qz::OpenScreen<qz::AUTO_PLA>(desktop, "AUTO_PLA", hc);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->oB()->columns()[1].header, "Nombre");
  s->oB()->Select(0);  // GERE
  ASSERT_TRUE(ui.Menu("Modificar"));
  auto* e = dynamic_cast<M_AU_PLA*>(Window("M_AU_PLA"));
  ASSERT_NE(e, nullptr);
  const auto& aut = e->Control(M_AU_PLA::kEtapasAut)->entries;
  ASSERT_EQ(aut.size(), 3u);  // this business's stages only
  EXPECT_EQ(aut[0].text, "Solicitud");
  EXPECT_FALSE(aut[0].selected);
  EXPECT_TRUE(aut[1].selected);
  EXPECT_TRUE(aut[2].selected);
  EXPECT_EQ(e->Text(M_AU_PLA::kClave), "");
  e->UserSelect(M_AU_PLA::kEtapasMod, "Solicitud", true);
  e->UserSelect(M_AU_PLA::kEtapasAut, "Revision", false);
  ui.Click(e, M_AU_PLA::kDirecto);
  ui.Press(e, 1);
  EXPECT_EQ(Lists()[1], "CODIGO=GERE ETAPAS_MOD=[0001] ETAPAS_AUT=[0003]");
  EXPECT_EQ(Rows("AUTO_PLA", {"DIRECTO"})[1], "DIRECTO=1");
  // A blank password kept the stored one.
  EXPECT_TRUE(qz::PasswordMatches("VIEJA", Clave(2), 1));

  ASSERT_TRUE(ui.Menu("Agregar"));
  e = dynamic_cast<M_AU_PLA*>(Window("M_AU_PLA"));
  ui.Type(e, M_AU_PLA::kCodigo, "cont");
  ui.Type(e, M_AU_PLA::kNombre, "Ana");
  ui.Type(e, M_AU_PLA::kClave, "SECRETA");
  ui.Press(e, 1);
  EXPECT_EQ(Rows("AUTO_PLA", {"CODIGO", "NOMBRE"}).back(), "CODIGO=CONT NOMBRE=Ana");
  EXPECT_TRUE(qz::PasswordMatches("SECRETA", Clave(4), 1));
  EXPECT_NE(Clave(4).substr(0, 7), "SECRETA");

  s->oB()->Select(0);
  ASSERT_TRUE(ui.Menu("Borrar"));
  EXPECT_EQ(ui.boxes().back().text, "¿Desea borrar este item?");
  EXPECT_EQ(Rows("AUTO_PLA", {"CODIGO"}).size(), 2u);
}

}  // namespace
