// Simple action types, debt and transaction concepts and pay-slip column
// groups: their forms (flags, serials of the personnel module, stages,
// signs), their messages, new codes carried into the tables that name them
// (also past a row another workstation holds), and what a read-only user
// may do.
#include <gtest/gtest.h>

#include "catalog_editors_fixture.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/menu_registry.h"
#include "payroll/accion_e.h"
#include "payroll/concepts.h"
#include "payroll/def_grp.h"
#include "payroll/payroll_screens.h"

namespace {

using qz::E_CONCD;
using qz::E_CONCT;
using qz::E_TIPACC;
using qz::ED_GRP;
using qztest::C;
using qztest::N;

class CatalogFormsTest : public qztest::CatalogEditorsTest {
 protected:
  void SetUp() override {
    Create("SERIALES", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("ACCIONES")}, {"MODULO", C("06")}, {"DESCRIP", C("Acciones")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("ABONO")}, {"MODULO", C("06")}, {"DESCRIP", C("Abonos")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("FACTURA")}, {"MODULO", C("01")}, {"DESCRIP", C("Facturas")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("PLAYA")}, {"MODULO", C("06")}, {"DESCRIP", C("Playa")}}});
    Create("ETAP_PLA", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("0001")}, {"DESCRIP", C("Solicitud")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("0002")}, {"DESCRIP", C("Aprobada")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("0009")}, {"DESCRIP", C("Otra")}}});
    Create("F_PLAN", {{{"NEGOCIO", C(hc)}, {"ETAP_INI", C("0002")}}});
    Create("TIP_ACC", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("AUMENTO")}, {"SALARIO", N(1)},
                        {"SERIAL", C("ACCIONES")}, {"ETAPA_INI", C("0001")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("01")}, {"DESCRIP", C("AUMENTO PLAYA")}}});
    Create("ACCIONES", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("A1")}, {"TIPO", C("01")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("A2")}, {"TIPO", C("01")}},
                        {{"NEGOCIO", C(hp)}, {"CODIGO", C("A3")}, {"TIPO", C("01")}}});
    Create("CONCEPTD", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("ABONO")}, {"SERIAL", C("ABONO")},
                         {"AFECTA", N(0)}, {"APLICA", N(1)}}});
    Create("CONCEPTT", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("PRESTAMO")}, {"TIPO", N(1)}}});
    Create("DET_DDA", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("M1")}, {"CONCEPTO", C("01")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("M2")}, {"CONCEPTO", C("01")}}});
    Create("ENC_DDA", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("D1")}, {"CONCEPTO", C("01")}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("D2")}, {"CONCEPTO", C("02")}}});
    Create("GRP_CMP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}, {"DESCRIP", C("INGRESOS")}, {"PICTURE", C("999,999.99")},
                        {"ORDEN", N(1)}, {"DETALLE", N(1)}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("03")}, {"DESCRIP", C("DEDUCCIONES")}, {"TIPO", N(1)}}});
    Create("ENC_TIP", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("SB")}, {"GRUPO", C("01")}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("PR")}, {"GRUPO", C("03")}, {"C_DEUDA", C("01")}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("HE")}, {"GRUPO", C("01")}},
                       {{"NEGOCIO", C(hp)}, {"CODIGO", C("SB")}, {"GRUPO", C("01")}, {"C_DEUDA", C("01")}}});
  }
  template <class S>
  S* Open(const std::string& tmpl) {
    S* s = qz::OpenScreen<S>(desktop, tmpl, hc);
    EXPECT_NE(s, nullptr);
    return s;
  }
  std::vector<std::string> Entries(qz::WDIAG* w, int id) {
    std::vector<std::string> out;
    for (const auto& e : w->Control(id)->entries) out.push_back(e.text);
    return out;
  }
};

TEST_F(CatalogFormsTest, ActionTypeNeedsAStageAndTheDefaultEntryStoresTheBusinessStage) {
  Open<qz::ACCION_E>("ACCION_E");
  ASSERT_TRUE(ui.Menu("Agregar"));
  auto* e = dynamic_cast<E_TIPACC*>(Window("MODIACCION_E"));
  ASSERT_NE(e, nullptr);
  // Module "06" serials and the stages of this business only.
  EXPECT_EQ(Entries(e, E_TIPACC::kSerial), (std::vector<std::string>{"Abonos", "Acciones"}));
  EXPECT_EQ(Entries(e, E_TIPACC::kEtapa),
            (std::vector<std::string>{"Solicitud", "Aprobada", "Etapa por Defecto"}));
  ui.Type(e, E_TIPACC::kCodigo, "02");
  ui.Type(e, E_TIPACC::kDescrip, "Traslado");
  ui.Click(e, E_TIPACC::kFirstFlag + 2);  // DEPTO
  ui.Click(e, E_TIPACC::kFirstFlag + 7);  // PENDIENTE
  e->UserChoose(E_TIPACC::kSerial, "Acciones");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{E_TIPACC::kNoStage});
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(Rows("TIP_ACC", {"CODIGO"}).size(), 1u);
  e->UserChoose(E_TIPACC::kEtapa, "Etapa por Defecto");
  ui.Press(e, 1);
  EXPECT_EQ(Rows("TIP_ACC", {"CODIGO", "DEPTO", "PENDIENTE", "SALARIO", "SERIAL", "ETAPA_INI"})[1],
            "CODIGO=02 DEPTO=1 PENDIENTE=1 SALARIO=0 SERIAL=ACCIONES ETAPA_INI=0002");
}

TEST_F(CatalogFormsTest, ActionTypeModifyShowsItsRowAndItsNewCodeMovesItsActions) {
  auto* s = Open<qz::ACCION_E>("ACCION_E");
  s->oB()->Select(0);
  ui.Menu("Modificar");
  auto* e = dynamic_cast<E_TIPACC*>(Window("MODIACCION_E"));
  EXPECT_EQ(e->Check(E_TIPACC::kFirstFlag + 3), 1);  // SALARIO
  EXPECT_EQ(e->Check(E_TIPACC::kFirstFlag), 0);
  EXPECT_EQ(e->Text(E_TIPACC::kSerial), "Acciones");
  EXPECT_EQ(e->Text(E_TIPACC::kEtapa), "Solicitud");
  ui.Type(e, E_TIPACC::kCodigo, "05");
  ui.Press(e, 1);
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor(Recodificando)..."});
  EXPECT_EQ(Rows("ACCIONES", {"CODIGO", "TIPO"}, ""),
            (std::vector<std::string>{"CODIGO=A1 TIPO=05", "CODIGO=A2 TIPO=05", "CODIGO=A3 TIPO=01"}));
  EXPECT_EQ(Rows("TIP_ACC", {"CODIGO", "ETAPA_INI"}),
            std::vector<std::string>{"CODIGO=05 ETAPA_INI=0001"});
}

TEST_F(CatalogFormsTest, DebtConceptSignsSerialAndNewCodeInMovementsAndColumnTypes) {
  auto* s = Open<qz::CONCEPTD>("CONCEPTD");
  EXPECT_EQ(s->oB()->columns()[1].header, "DESCRIP");
  s->oB()->Select(0);
  ui.Menu("Modificar");
  auto* e = dynamic_cast<E_CONCD*>(Window("E_CONCEPTD"));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Check(E_CONCD::kAfectaMenos), 1);
  EXPECT_EQ(e->Check(E_CONCD::kAplicaMas), 1);
  EXPECT_EQ(e->Text(E_CONCD::kSerial), "Abonos");
  ui.Click(e, E_CONCD::kAfectaMas);
  ui.Click(e, E_CONCD::kAplicaMenos);
  ui.Type(e, E_CONCD::kCodigo, "07");
  ui.Press(e, 1);
  EXPECT_EQ(Rows("CONCEPTD", {"CODIGO", "AFECTA", "APLICA", "SERIAL"}),
            std::vector<std::string>{"CODIGO=07 AFECTA=1 APLICA=0 SERIAL=ABONO"});
  EXPECT_EQ(Rows("DET_DDA", {"CODIGO", "CONCEPTO"}, ""),
            (std::vector<std::string>{"CODIGO=M1 CONCEPTO=07", "CODIGO=M2 CONCEPTO=01"}));
  EXPECT_EQ(Rows("ENC_TIP", {"CODIGO", "C_DEUDA"}, ""),
            (std::vector<std::string>{"CODIGO=SB C_DEUDA=", "CODIGO=PR C_DEUDA=07", "CODIGO=HE C_DEUDA=",
                                      "CODIGO=SB C_DEUDA=01"}));

  ui.Menu("Agregar");
  e = dynamic_cast<E_CONCD*>(Window("E_CONCEPTD"));
  EXPECT_EQ(e->Check(E_CONCD::kAfectaMas), 1);  // a new concept starts with "+" "+"
  ui.Type(e, E_CONCD::kCodigo, "07");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de concepto ya definido..."});
  ui.Press(e, 2);
}

TEST_F(CatalogFormsTest, TransactionConceptTypeAndNewCodeInTheDebts) {
  auto* s = Open<qz::CONCEPTT>("CONCEPTT");
  s->oB()->Select(0);
  ui.Menu("Modificar");
  auto* e = dynamic_cast<E_CONCT*>(Window("E_CONCEPTT"));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Check(E_CONCT::kTipoMas), 1);
  ui.Click(e, E_CONCT::kTipoMenos);
  ui.Type(e, E_CONCT::kCodigo, "09");
  ui.Press(e, 1);
  EXPECT_EQ(Rows("CONCEPTT", {"CODIGO", "TIPO"}), std::vector<std::string>{"CODIGO=09 TIPO=0"});
  EXPECT_EQ(Rows("ENC_DDA", {"CODIGO", "CONCEPTO"}),
            (std::vector<std::string>{"CODIGO=D1 CONCEPTO=09", "CODIGO=D2 CONCEPTO=02"}));
  // Deleting asks first; Cancel keeps the row.
  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"¿Desea borrar el concepto?"});
  EXPECT_EQ(s->oB()->RowCount(), 1);
  ui.Menu("Borrar");
  EXPECT_EQ(s->oB()->RowCount(), 0);
}

TEST_F(CatalogFormsTest, ColumnGroupMessagesDifferOnAddAndModify) {
  auto* s = Open<qz::DEF_GRP>("DEF_GRP");
  EXPECT_EQ(desktop.edit_menu_id(), 3567);
  ui.Menu("Agregar");
  auto* e = dynamic_cast<ED_GRP*>(Window("ED_GRP"));
  ui.Type(e, ED_GRP::kCodigo, "03");
  ui.Press(e, 1);
  ui.Press(e, 2);
  s->oB()->Select(0);
  ui.Menu("Modificar");
  e = dynamic_cast<ED_GRP*>(Window("ED_GRP"));
  EXPECT_EQ(e->Text(ED_GRP::kPicture), "999,999.99");
  EXPECT_EQ(e->Text(ED_GRP::kOrden), "1");
  EXPECT_EQ(e->Check(ED_GRP::kDetalle), 1);
  EXPECT_EQ(e->Check(ED_GRP::kSumar), 1);
  ui.Type(e, ED_GRP::kCodigo, "03");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"Este Código ya existe...", "Este Código  ya existe..."}));
  ui.Type(e, ED_GRP::kCodigo, "01");
  ui.Type(e, ED_GRP::kOrden, "7");
  ui.Click(e, ED_GRP::kRestar);
  ui.Press(e, 1);
  EXPECT_EQ(Rows("GRP_CMP", {"CODIGO", "ORDEN", "TIPO"})[0], "CODIGO=01 ORDEN=7 TIPO=1");
  EXPECT_TRUE(ui.wait_texts().empty());  // the code did not change
  s->oB()->Select(1);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"¿Desea borrar el item seleccionado?"});
  EXPECT_EQ(Rows("GRP_CMP", {"CODIGO"}), std::vector<std::string>{"CODIGO=01"});
}

TEST_F(CatalogFormsTest, ColumnGroupNewCodeReachesEveryColumnTypeEvenOneHeldByAnotherUser) {
  auto* s = Open<qz::DEF_GRP>("DEF_GRP");
  auto other = LockedBy("ENC_TIP", 3);  // HE, a column type of the group
  int asked = 0;
  ui.WhileBoxShown([&](const std::string& text) {
    if (text.rfind("El dato se encuentra bloqueado: ", 0) == 0 && ++asked == 1) other->UnlockAll();
  });
  s->oB()->Select(0);
  ui.Menu("Modificar");
  ui.Type(Window("ED_GRP"), ED_GRP::kCodigo, "10");
  ui.Press(Window("ED_GRP"), 1);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor(Recodificando)..."});
  EXPECT_FALSE(ui.wait_open());
  EXPECT_EQ(Rows("ENC_TIP", {"CODIGO", "GRUPO"}, ""),
            (std::vector<std::string>{"CODIGO=SB GRUPO=10", "CODIGO=PR GRUPO=03", "CODIGO=HE GRUPO=10",
                                      "CODIGO=SB GRUPO=01"}));
  EXPECT_EQ(Window("ED_GRP"), nullptr);
  EXPECT_TRUE(s->main_table()->LockedRecords().empty());
}

TEST_F(CatalogFormsTest, WhileAFormIsOpenItsListAndEntriesAreOutOfUseAndARowGoneIsTold) {
  auto* s = Open<qz::DEF_GRP>("DEF_GRP");
  s->oB()->Select(1);  // 03
  ASSERT_TRUE(ui.Menu("Modificar"));
  auto* e = dynamic_cast<ED_GRP*>(Window("ED_GRP"));
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(s->window_enabled());
  EXPECT_FALSE(ui.Menu("Borrar"));
  EXPECT_FALSE(ui.Menu("Agregar"));
  EXPECT_FALSE(ui.Press(s, 1));  // the list cannot be closed under its form
  EXPECT_TRUE(ui.boxes().empty());
  // Another workstation deletes the group meanwhile: told, nothing recreated.
  {
    auto other = LockedBy("GRP_CMP", 2);
    ASSERT_TRUE(other->GoTo(2).ok());
    ASSERT_TRUE(other->Delete().ok());
    ASSERT_TRUE(other->Flush().ok());
    other->UnlockAll();
  }
  ui.Type(e, ED_GRP::kDescrip, "OTRA");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::kRowDeletedMeanwhile});
  EXPECT_EQ(Rows("GRP_CMP", {"CODIGO", "DESCRIP"}), std::vector<std::string>{"CODIGO=01 DESCRIP=INGRESOS"});
  ui.Press(e, 2);
  EXPECT_TRUE(s->window_enabled());
  EXPECT_TRUE(Entry("Borrar")->Enabled());
  EXPECT_EQ(s->oB()->RowCount(), 1);
}

TEST_F(CatalogFormsTest, ReadOnlyUserSeesTheListsButCannotChangeThem) {
  // Only the menu rights themselves, none of the "Editar" ones.
  desktop.SetRightsCheck([](int right) { return right != 2693 && right != 5127 && right != 2666; });
  auto* acc = Open<qz::ACCION_E>("ACCION_E");
  for (const char* caption : {"Agregar", "Modificar", "Borrar"}) {
    ASSERT_NE(Entry(caption), nullptr);
    EXPECT_TRUE(Entry(caption)->Denied()) << caption;
    EXPECT_FALSE(ui.Menu(caption)) << caption;
  }
  Open<qz::DEF_GRP>("DEF_GRP");
  EXPECT_FALSE(ui.Menu("Borrar"));
  Open<qz::CONCEPTD>("CONCEPTD");
  EXPECT_FALSE(ui.Menu("Modificar"));
  EXPECT_EQ(desktop.windows().size(), 3u);  // no form opened
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(acc->oB()->RowCount(), 1);
  EXPECT_EQ(Rows("GRP_CMP", {"CODIGO"}).size(), 2u);
}

TEST_F(CatalogFormsTest, EveryScreenOpensFromItsMenuEntryName) {
  Create("ENC_VAC");
  Create("DET_VAC");
  Create("E_PLA_DC");
  Create("D_PLA_DC");
  qz::MenuRegistry registry;
  qz::RegisterCatalogEditorScreens(registry, desktop);
  const std::pair<const char*, int> screens[] = {{"DEF_VAC", 3937}, {"ACCION_E", 2693},
                                                 {"CONCEPTD", 2666}, {"CONCEPTT", 2702},
                                                 {"DEF_GRP", 3567}, {"D_CLA_DC", 4476}};
  for (const auto& [name, menu_id] : screens) {
    const qz::ScreenOpener* open = registry.Find(name);
    ASSERT_NE(open, nullptr) << name;
    (*open)(hc, name);
    EXPECT_EQ(desktop.edit_menu_id(), menu_id) << name;
    EXPECT_GE(desktop.edit_menu().size(), 3u) << name;
  }
  EXPECT_EQ(desktop.windows().size(), 6u);
  desktop.CloseAll();
  EXPECT_EQ(desktop.edit_menu()[0].caption, "No hay operaciones asociadas");
}

}  // namespace
