// Customised personnel-action types: what their form stores (stage, serial,
// field flags, salary columns, auxiliary options, the employee module's
// blocks), each refusal of the form, a new code carried into the actions of
// the type all or nothing (also against a workstation holding one), the
// print format and the delete question.
#include <gtest/gtest.h>

#include "catalog_editors_fixture.h"
#include "lib/ui/catalog_edit.h"
#include "payroll/actions/acc_pers.h"
#include "payroll/actions/frm_imp.h"

namespace {

using qz::MOD_ACCI;
using qztest::C;
using qztest::N;

class ActionTypesTest : public qztest::CatalogEditorsTest {
 protected:
  void SetUp() override {
    Create("SERIALES", {{{"NEGOCIO", C(hc)},
                         {"CODIGO", C("ACCIONES")},
                         {"MODULO", C("06")},
                         {"DESCRIP", C("Acciones")}},
                        {{"NEGOCIO", C(hc)},
                         {"CODIGO", C("FACTURA")},
                         {"MODULO", C("01")},
                         {"DESCRIP", C("Facturas")}}});
    Create("ETAP_PLA", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("0001")}, {"DESCRIP", C("Solicitud")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("0002")}, {"DESCRIP", C("Aprobada")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("0009")}, {"DESCRIP", C("Otra")}}});
    Create("F_PLAN", {{{"NEGOCIO", C(hc)}, {"ETAP_INI", C("0002")}}});
    Create(
        "ENC_TIP",
        {{{"NEGOCIO", C(hc)}, {"CODIGO", C("SB")}, {"DESCRIP", C("Salario Base")}, {"TIPO", N(1)}},
         {{"NEGOCIO", C(hc)}, {"CODIGO", C("--")}, {"DESCRIP", C("Separador")}, {"TIPO", N(4)}},
         {{"NEGOCIO", C(hc)}, {"CODIGO", C("HE")}, {"DESCRIP", C("Horas Extra")}, {"TIPO", N(2)}},
         {{"NEGOCIO", C(hp)},
          {"CODIGO", C("XX")},
          {"DESCRIP", C("Otro negocio")},
          {"TIPO", N(1)}}});
    Create("TIP_ACC2",
           {{{"NEGOCIO", C(hc)},
             {"CODIGO", C("10")},
             {"DESCRIP", C("AUMENTO")},
             {"SERIAL", C("ACCIONES")},
             {"ETAPA_INI", C("0001")},
             {"DEPTO", N(1)},
             {"COLUMNA", N(1)},
             {"COD_COLUM", C("SB")},
             {"SUMA_COL", N(2)},
             {"CHECKS", C("01" + std::string(84, '0'))},
             {"BLOQUE1", N(7)}},
            {{"NEGOCIO", C(hc)}, {"CODIGO", C("20")}, {"DESCRIP", C("TRASLADO")}},
            {{"NEGOCIO", C(hp)}, {"CODIGO", C("10")}, {"DESCRIP", C("AUMENTO PLAYA")}}});
    Create("ACCIONES", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("A1")}, {"TIPO", C("10")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("A2")}, {"TIPO", C("10")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("A3")}, {"TIPO", C("20")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("A4")}, {"TIPO", C("10")}}});
    screen = qz::OpenScreen<qz::ACC_PERS>(desktop, "ACC_PERS", hc);
    ASSERT_NE(screen, nullptr);
  }
  MOD_ACCI* Form(const char* verb, int row = -1) {
    if (row >= 0) screen->oB()->Select(row);
    EXPECT_TRUE(ui.Menu(verb));
    return dynamic_cast<MOD_ACCI*>(Window("MOD_ACCI"));
  }
  std::vector<std::string> Entries(qz::WDIAG* w, int id) {
    std::vector<std::string> out;
    for (const auto& e : w->Control(id)->entries) out.push_back(e.text);
    return out;
  }
  static int Flag(const char* field) {
    for (int i = 0; i < MOD_ACCI::kFieldCount; ++i)
      if (std::string(MOD_ACCI::kFieldFlags[i]) == field) return MOD_ACCI::kFirstField + i;
    return 0;
  }
  qz::ACC_PERS* screen = nullptr;
};

TEST_F(ActionTypesTest, NewTypeWithoutStageStartsInTheBusinessStageAndStoresEveryPart) {
  MOD_ACCI* e = Form("Agregar");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(Entries(e, MOD_ACCI::kSerial), std::vector<std::string>{"Acciones"});
  EXPECT_EQ(Entries(e, MOD_ACCI::kEtapa),
            (std::vector<std::string>{"Solicitud", "Aprobada", "Etapa por Defecto"}));
  // Column types of this business that can hold a value.
  EXPECT_EQ(Entries(e, MOD_ACCI::kColumnaCombo),
            (std::vector<std::string>{"Horas Extra", "Salario Base"}));
  EXPECT_FALSE(e->ControlEnabled(MOD_ACCI::kColumnaCombo));
  ui.Type(e, MOD_ACCI::kCodigo, "11");
  ui.Type(e, MOD_ACCI::kDescrip, "Ingreso");
  ui.Click(e, MOD_ACCI::kIngNuevo);
  ui.Click(e, Flag("PUESTO"));
  ui.Click(e, Flag("COMENTARIO"));
  ui.Click(e, MOD_ACCI::kColumna + MOD_ACCI::kColumnStep);  // "Valor #2"
  EXPECT_TRUE(e->ControlEnabled(MOD_ACCI::kColumnaCombo + MOD_ACCI::kColumnStep));
  e->UserChoose(MOD_ACCI::kColumnaCombo + MOD_ACCI::kColumnStep, "Horas Extra");
  ui.Click(e, MOD_ACCI::kFirstSuma + MOD_ACCI::kColumnStep + 1);  // add to the value
  ui.Click(e, MOD_ACCI::kFirstCheck);
  ui.Click(e, MOD_ACCI::kFirstCheck + MOD_ACCI::kChecks - 1);
  ui.Press(e, 1);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Window("MOD_ACCI"), nullptr);
  auto rows = Rows("TIP_ACC2", {"CODIGO", "ETAPA_INI", "SERIAL", "ING_NUEVO", "PUESTO",
                                "COMENTARIO", "DEPTO", "COLUMNA", "COD_COLUM", "COLUMNA2",
                                "COD_COLUM2", "SUMA_COL2", "BLOQUE1", "CHECKS"});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2],
            "CODIGO=11 ETAPA_INI=0002 SERIAL= ING_NUEVO=1 PUESTO=1 COMENTARIO=1 DEPTO=0 "
            "COLUMNA=0 COD_COLUM= COLUMNA2=1 COD_COLUM2=HE SUMA_COL2=1 BLOQUE1=0 CHECKS=1" +
                std::string(84, '0') + "1");
}

TEST_F(ActionTypesTest, EachRefusalKeepsTheFormOpenAndWritesNothing) {
  const auto before = Rows("TIP_ACC2", {"CODIGO", "DESCRIP"}, "");
  MOD_ACCI* e = Form("Agregar");
  ui.Type(e, MOD_ACCI::kCodigo, "10");
  ui.Type(e, MOD_ACCI::kDescrip, "Otra");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código de Acción ya existe..."});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  ui.Type(e, MOD_ACCI::kCodigo, "");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::kBlankCode});
  // A column to change must be named.
  ui.Type(e, MOD_ACCI::kCodigo, "12");
  ui.Click(e, MOD_ACCI::kColumna + 2 * MOD_ACCI::kColumnStep);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{MOD_ACCI::NoColumnMessage(2)});
  EXPECT_EQ(e->focus(), MOD_ACCI::kColumnaCombo + 2 * MOD_ACCI::kColumnStep);
  ui.Press(e, 2);
  EXPECT_EQ(Rows("TIP_ACC2", {"CODIGO", "DESCRIP"}, ""), before);

  // Modifying "20" into the code of "10": the other message, two blanks.
  e = Form("Modificar", 1);
  ui.Type(e, MOD_ACCI::kCodigo, "10");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código  ya existe..."});
  EXPECT_NE(Window("MOD_ACCI"), nullptr);
  ui.Press(e, 2);
  EXPECT_EQ(Rows("TIP_ACC2", {"CODIGO", "DESCRIP"}, ""), before);
  EXPECT_EQ(Rows("ACCIONES", {"TIPO"}, ""),
            (std::vector<std::string>{"TIPO=10", "TIPO=10", "TIPO=20", "TIPO=10"}));
}

TEST_F(ActionTypesTest, ModifyShowsTheTypeAndANewCodeTakesItsActionsButNotTheBlocks) {
  MOD_ACCI* e = Form("Modificar", 0);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text(MOD_ACCI::kSerial), "Acciones");
  EXPECT_EQ(e->Text(MOD_ACCI::kEtapa), "Solicitud");
  EXPECT_EQ(e->Check(Flag("DEPTO")), 1);
  EXPECT_EQ(e->Check(Flag("PUESTO")), 0);
  EXPECT_EQ(e->Check(MOD_ACCI::kColumna), 1);
  EXPECT_EQ(e->Text(MOD_ACCI::kColumnaCombo), "Salario Base");
  EXPECT_EQ(e->Check(MOD_ACCI::kFirstSuma + 2), 1);  // subtract
  EXPECT_EQ(e->Check(MOD_ACCI::kFirstCheck), 0);
  EXPECT_EQ(e->Check(MOD_ACCI::kFirstCheck + 1), 1);
  // Unchecking the column clears its choice: nothing of it is kept.
  ui.Click(e, MOD_ACCI::kColumna);
  EXPECT_EQ(e->Text(MOD_ACCI::kColumnaCombo), "");
  EXPECT_FALSE(e->ControlEnabled(MOD_ACCI::kColumnaCombo));
  ui.Type(e, MOD_ACCI::kCodigo, "15");
  ui.Press(e, 1);
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor(Recodificando)..."});
  EXPECT_EQ(Rows("ACCIONES", {"CODIGO", "TIPO"}, ""),
            (std::vector<std::string>{"CODIGO=A1 TIPO=15", "CODIGO=A2 TIPO=15", "CODIGO=A3 TIPO=20",
                                      "CODIGO=A4 TIPO=10"}));
  EXPECT_EQ(
      Rows("TIP_ACC2", {"CODIGO", "ETAPA_INI", "COLUMNA", "COD_COLUM", "SUMA_COL", "BLOQUE1"})[0],
      "CODIGO=15 ETAPA_INI=0001 COLUMNA=0 COD_COLUM= SUMA_COL=0 BLOQUE1=7");
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
}

TEST_F(ActionTypesTest, ANewCodeMovesEveryActionOrNoneWhenAnotherWorkstationHoldsOne) {
  MOD_ACCI* e = Form("Modificar", 0);
  ui.Type(e, MOD_ACCI::kCodigo, "15");
  {
    auto other = LockedBy("ACCIONES", 2);
    ui.Press(e, 1);
    EXPECT_EQ(Rows("ACCIONES", {"TIPO"}, ""),
              (std::vector<std::string>{"TIPO=10", "TIPO=10", "TIPO=20", "TIPO=10"}));
    EXPECT_EQ(Rows("TIP_ACC2", {"CODIGO"})[0], "CODIGO=10");
    ASSERT_EQ(Window("MOD_ACCI"), e);  // what was typed is still there
    EXPECT_EQ(e->Text(MOD_ACCI::kCodigo), "15");
  }
  // Once the other workstation lets go, the same form saves.
  ui.Press(e, 1);
  EXPECT_EQ(Window("MOD_ACCI"), nullptr);
  EXPECT_EQ(Rows("ACCIONES", {"TIPO"}, ""),
            (std::vector<std::string>{"TIPO=15", "TIPO=15", "TIPO=20", "TIPO=10"}));
}

TEST_F(ActionTypesTest, ThePrintFormatShowsWhatTheFormNowSaysAndTheListWaitsBehindIt) {
  MOD_ACCI* e = Form("Modificar", 0);
  ui.Click(e, Flag("HORARIO"));
  EXPECT_FALSE(screen->window_enabled());
  EXPECT_FALSE(ui.Menu("Borrar"));  // the list's menu is out of use behind its form
  std::string shown;
  ui.OnDialog("FRM_IMP", [&](qz::WDIAG& d) {
    shown = d.Text(500);
    d.UserPress(2);
  });
  ui.Press(e, MOD_ACCI::kFormato);
  EXPECT_NE(shown.find("10 - AUMENTO"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Departamento: anterior / nuevo"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Horario: anterior / nuevo"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Valor #1: Salario Base (Restar"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Puesto:"), std::string::npos) << shown;
  ui.Press(e, 2);
  EXPECT_TRUE(screen->window_enabled());
  // Nothing was saved by looking.
  EXPECT_EQ(Rows("TIP_ACC2", {"HORARIO"})[0], "HORARIO=0");
}

TEST_F(ActionTypesTest, DeleteAsksItsQuestionAndCancelKeepsTheType) {
  screen->oB()->Select(1);
  ui.AnswerNext(2);
  ASSERT_TRUE(ui.Menu("Borrar"));
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar el Tipo de Accion?");
  EXPECT_EQ(ui.boxes().back().title, "Advertencia");
  EXPECT_EQ(Rows("TIP_ACC2", {"CODIGO"}).size(), 2u);
  ASSERT_TRUE(ui.Menu("Borrar"));
  EXPECT_EQ(Rows("TIP_ACC2", {"CODIGO"}), std::vector<std::string>{"CODIGO=10"});
  EXPECT_EQ(screen->oB()->RowCount(), 1);
}

}  // namespace
