// An edit window writes the row it loaded and no other: the list behind it
// and its "Editar" entries are out of use while it is open, another
// workstation deleting or re-keying the row is told instead of overwriting a
// neighbour, and wherever the shared table's cursor was left does not
// matter. The inline dialogs follow the same rules, and typed values are
// stored the way the list shows them.
#include <gtest/gtest.h>

#include "lib/ui/catalog_edit.h"
#include "lib/ui/picture.h"
#include "payroll/e_puesto.h"
#include "payroll/ocupa.h"
#include "payroll/puestos.h"
#include "support/ui_session.h"

namespace {

using qz::E_PUESTO;
using qztest::Biz;
using qztest::C;

class EditorIntegrityTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    const std::string hc = Biz("HOTEL CENTRAL");
    Create("PUESTOS", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("CAM")}, {"DESCRIP", C("CAMARERA")}},
                       {{"NEGOCIO", C(hc)}, {"CODIGO", C("REC")}, {"DESCRIP", C("RECEPCION")}}});
    Create("F_PLAN7");
    Create("CLAS_ROM");
    Create("PERF_EVA");
    Create("ENC_PERS", {{{"NEGOCIO", C(hc)}, {"CODIGO", C("E1")}, {"PUESTO", C("CAM")}},
                        {{"NEGOCIO", C(hc)}, {"CODIGO", C("E2")}, {"PUESTO", C("REC")}}});
    screen = qz::OpenScreen<qz::PUESTOS>(desktop, "PUESTOS", hc);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }

  E_PUESTO* Editor() { return dynamic_cast<E_PUESTO*>(desktop.FindWindow("MODIPUESTO")); }
  // Every live row as "CODE=DESCRIP", in record order.
  std::vector<std::string> Rows() {
    auto t = xb::Table::Open(file("PUESTOS.DBF"));
    std::vector<std::string> out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      out.push_back(qz::FieldText(**t, "CODIGO") + "=" + qz::FieldText(**t, "DESCRIP"));
    return out;
  }
  // Another workstation changes record `recno`: deletes it, or gives it
  // `code`.
  void OtherWorkstation(uint32_t recno, const std::string& code = {}) {
    auto t = xb::Table::Open(file("PUESTOS.DBF"));
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->GoTo(recno).ok());
    ASSERT_TRUE((*t)->LockRecord(recno).ok());
    if (code.empty()) {
      ASSERT_TRUE((*t)->Delete().ok());
    } else {
      ASSERT_TRUE((*t)->Put("CODIGO", xb::Value::Char(code)).ok());
    }
    ASSERT_TRUE((*t)->Flush().ok());
    (*t)->UnlockAll();
  }
  const qz::EditAction* Entry(const std::string& caption) {
    for (const auto& e : desktop.edit_menu())
      if (e.caption == caption) return &e;
    return nullptr;
  }

  qz::PUESTOS* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(EditorIntegrityTest, WhileTheEditorIsOpenTheListAndItsEntriesAreOutOfUse) {
  grid->Select(0);  // CAM
  ASSERT_TRUE(ui.Menu("Modificar"));
  E_PUESTO* e = Editor();
  ASSERT_NE(e, nullptr);
  for (const char* caption : {"Agregar", "Modificar", "Borrar"}) {
    ASSERT_NE(Entry(caption), nullptr);
    EXPECT_FALSE(Entry(caption)->Enabled()) << caption;
    EXPECT_FALSE(ui.Menu(caption)) << caption;
  }
  EXPECT_EQ(desktop.windows().size(), 2u);  // no second editor
  EXPECT_TRUE(ui.boxes().empty());          // nothing asked, nothing deleted
  // An operation reaching the screen anyway (an entry of an older menu) does
  // nothing either.
  screen->DoOperation("DEL_PUESTOS");
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"CAM=CAMARERA", "REC=RECEPCION"}));
  ui.Press(e, 2);
  EXPECT_TRUE(Entry("Borrar")->Enabled());
}

TEST_F(EditorIntegrityTest, RowDeletedMeanwhileIsToldAndNoOtherRowIsOverwritten) {
  grid->Select(0);
  const uint32_t cam = grid->SelectedRecNo();
  ui.Menu("Modificar");
  E_PUESTO* e = Editor();
  ui.Type(e, E_PUESTO::kDescrip, "CAMARERA DE PISO");
  OtherWorkstation(cam);
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::kRowDeletedMeanwhile});
  EXPECT_EQ(Rows(), std::vector<std::string>{"REC=RECEPCION"});
  EXPECT_EQ(Editor(), e);  // still open with what was typed
  EXPECT_EQ(e->Text(E_PUESTO::kDescrip), "CAMARERA DE PISO");
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
  ui.Press(e, 2);
  EXPECT_EQ(grid->RowCount(), 1);
}

TEST_F(EditorIntegrityTest, RowRekeyedMeanwhileIsTold) {
  grid->Select(0);
  ui.Menu("Modificar");
  E_PUESTO* e = Editor();
  ui.Type(e, E_PUESTO::kDescrip, "OTRA");
  OtherWorkstation(grid->SelectedRecNo(), "CAX");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::kRowRekeyedMeanwhile});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"CAX=CAMARERA", "REC=RECEPCION"}));
}

TEST_F(EditorIntegrityTest, RenameSavesTheLoadedRowWhereverTheCursorWasLeft) {
  grid->Select(0);
  ui.Menu("Modificar");
  E_PUESTO* e = Editor();
  // Adding meanwhile is refused; and whatever moves the shared cursor (a
  // lookup, a refresh, an append) cannot redirect the save.
  EXPECT_FALSE(ui.Menu("Agregar"));
  screen->main_table()->GoTo(grid->RecNoAt(1));
  ui.Type(e, E_PUESTO::kCodigo, "cama");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Rows(), (std::vector<std::string>{"CAMA=CAMARERA", "REC=RECEPCION"}));
  EXPECT_EQ(qz::TrimRight(grid->Cell(grid->current(), 0)), "CAMA");
}

TEST_F(EditorIntegrityTest, AddThenRenameKeepsEveryRow) {
  // Add a row, then rename another one: each save writes its own record.
  ui.Menu("Agregar");
  ui.Type(Editor(), E_PUESTO::kCodigo, "coc");
  ui.Type(Editor(), E_PUESTO::kDescrip, "COCINA");
  ui.Press(Editor(), 1);
  ASSERT_EQ(Editor(), nullptr);
  grid->Select(grid->RowOf(1));  // CAM, while the cursor sits on the new row
  ui.Menu("Modificar");
  EXPECT_EQ(Editor()->Text(E_PUESTO::kCodigo), "CAM");
  ui.Type(Editor(), E_PUESTO::kCodigo, "CAMA");
  ui.Press(Editor(), 1);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"CAMA=CAMARERA", "REC=RECEPCION", "COC=COCINA"}));
}

TEST_F(EditorIntegrityTest, BlankCodesAndStrayCommasAreRefused) {
  ui.Menu("Agregar");
  E_PUESTO* e = Editor();
  ui.Type(e, E_PUESTO::kCodigo, "   ");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::kBlankCode});
  ui.Type(e, E_PUESTO::kCodigo, "BAR");
  ui.Type(e, E_PUESTO::kHorasDia, "7,5");  // not 75
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::NotANumberMessage("7,5")});
  EXPECT_EQ(e->focus(), E_PUESTO::kHorasDia);
  EXPECT_EQ(Rows().size(), 2u);
  ui.Type(e, E_PUESTO::kHorasDia, "7.5");
  ui.Type(e, E_PUESTO::kEmpleados + 1, "1,250");  // thousands are fine
  ui.Press(e, 1);
  EXPECT_EQ(Rows().back(), "BAR=");
  auto t = xb::Table::Open(file("PUESTOS.DBF"));
  (*t)->GoTo(3);
  EXPECT_DOUBLE_EQ((*t)->Get("HORAS_DIA")->number(), 7.5);
  EXPECT_DOUBLE_EQ((*t)->Get("PRES_EMP1")->number(), 1250);
}

class InlineEditTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("T_OCUPA", {{{"NEGOCIO", C(Biz("HOTEL CENTRAL"))},
                        {"CODIGO", C("COC")},
                        {"DESCRIP", C("COCINERO")}}});
    screen = qz::OpenScreen<qz::OCUPA>(desktop, "OCUPA", Biz("HOTEL CENTRAL"));
    ASSERT_NE(screen, nullptr);
  }
  qz::OCUPA* screen = nullptr;
};

TEST_F(InlineEditTest, TheDialogDisablesTheScreenAndALowerCaseCodeIsFoundAsUpperCase) {
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    EXPECT_FALSE(screen->window_enabled());
    EXPECT_FALSE(ui.Menu("Borrar ocupación"));  // the entries behind the dialog
    EXPECT_FALSE(ui.Press(screen, 1));          // and the screen's own buttons
    d.UserType(500, "coc");
    EXPECT_EQ(d.Text(500), "COC");  // the "!" picture of the code
    d.UserPress(1);                 // so it is a duplicate, not a second row
    EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de ocupación ya definido..."});
    d.UserPress(2);
  });
  ui.Menu("Agregar ocupación");
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(screen->oB()->RowCount(), 1);
  // Even typed past the control (an automation, a paste), the code is stored
  // upper case.
  EXPECT_EQ(screen->CodeFromText("mes"), "MES            ");
}

}  // namespace
