// The format screens as the menu reaches them: each opens from its entry with
// its "Editar" entries, a read-only user can look but not change, the list
// behind an open editor is out of use, and a screen whose table is missing
// does not open.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "format_session.h"
#include "lib/ui/catalog.h"
#include "payroll/m_li_emp.h"

namespace {

using qztest::C;

struct FormatScreen {
  const char* name;
  const char* tmpl;
  const char* table;
  int menu_id;
  std::vector<std::string> captions;
  const char* editor;
};

const std::vector<FormatScreen>& Screens() {
  static const std::vector<FormatScreen> kScreens = {
      {"ENC_REPP", "DEF_REPC", "ENC_REPP", 2609,
       {"Agregar formato de reporte", "Modificar formato de reporte", "Borrar formato de reporte"},
       "CREP_COL"},
      {"DF_CST", "DF_CST", "F_CONST", 3900, {"Agregar", "Modificar", "Borrar"}, "E_CST"},
      {"USR_REQ", "USR_REQ", "USR_REQ", 3656, {"Agregar", "Modificar", "Borrar"}, "AGREGAR_USR_REQ"},
      {"D_LI_EMP", "D_LI_EMP", "ENC_EMP", 4492, {"Agregar", "Modificar", "Borrar"}, "M_LI_EMP"},
  };
  return kScreens;
}

class FormatsMenuTest : public qztest::FormatSession {
 protected:
  void SetUp() override {
    for (const char* t : {"ENC_TIP", "T_PROV", "DET_REPP", "ETAP_PLA", "ENC_DEPT", "DET_EMP", "F_PLAN7"})
      Create(t);
    for (const auto& s : Screens())
      Create(s.table, {{{"NEGOCIO", C(hc)}, {"CODIGO", C("01")}}});
  }
};

TEST_F(FormatsMenuTest, EachScreenOpensFromItsEntryAndItsEntriesOpenItsEditor) {
  for (const auto& s : Screens()) {
    SCOPED_TRACE(s.name);
    auto* screen = OpenFromMenu<qz::CatalogScreen>(s.name, s.tmpl);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(desktop.edit_menu_id(), s.menu_id);
    EXPECT_EQ(EditCaptions(), s.captions);
    EXPECT_EQ(screen->oB()->RowCount(), 1);
    ASSERT_TRUE(ui.Menu(s.captions[1]));  // modify
    qz::WDIAG* editor = desktop.FindWindow(s.editor);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Text(500), "01");
    ui.Press(editor, 2);
    ASSERT_TRUE(ui.Menu(s.captions[0]));  // add
    editor = desktop.FindWindow(s.editor);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Text(500), "");
    ui.Press(editor, 2);
    ui.Press(screen, 1);
  }
  EXPECT_NE(OpenFromMenu<qz::WDIAG>("DEF_R_HO", "DEF_R_HO"), nullptr);
}

TEST_F(FormatsMenuTest, AReadOnlyUserLooksButCannotChange) {
  const std::set<int> edit_rights = {2610, 2611, 2612, 3901, 3902, 3903,
                                     3657, 3658, 3659, 4493, 5155, 4495};
  desktop.SetRightsCheck([&](int right) { return edit_rights.count(right) > 0; });
  for (const auto& s : Screens()) {
    SCOPED_TRACE(s.name);
    auto* screen = OpenFromMenu<qz::CatalogScreen>(s.name, s.tmpl);
    ASSERT_NE(screen, nullptr);
    screen->oB()->Select(0);
    for (const auto& caption : s.captions) {
      ASSERT_NE(Entry(caption), nullptr);
      EXPECT_TRUE(Entry(caption)->Denied());
      EXPECT_FALSE(ui.Menu(caption));
    }
    EXPECT_EQ(desktop.FindWindow(s.editor), nullptr);
    EXPECT_TRUE(ui.boxes().empty());  // no delete question either
    EXPECT_EQ(Rows(s.table, {"CODIGO"}), std::vector<std::string>{"01"});
    ui.Press(screen, 1);
  }
}

TEST_F(FormatsMenuTest, WhileAnEditorIsOpenTheListBehindItIsOutOfUse) {
  auto* screen = OpenFromMenu<qz::CatalogScreen>("D_LI_EMP", "D_LI_EMP");
  ASSERT_NE(screen, nullptr);
  screen->oB()->Select(0);
  ASSERT_TRUE(ui.Menu("Modificar"));
  auto* editor = Window<qz::M_LI_EMP>("M_LI_EMP");
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(screen->window_enabled());
  EXPECT_FALSE(ui.Menu("Borrar"));   // the row being edited cannot be deleted under it
  EXPECT_FALSE(ui.Menu("Agregar"));  // nor a second editor opened
  EXPECT_FALSE(ui.Press(screen, 1));
  EXPECT_EQ(Rows("ENC_EMP", {"CODIGO"}), std::vector<std::string>{"01"});
  ui.Type(editor, qz::M_LI_EMP::kDescrip, "DOS");  // blank: refused otherwise
  ui.Press(editor, 1);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(Rows("ENC_EMP", {"DESCRIP"}), std::vector<std::string>{"DOS"});
  // Back in use: the delete asks and removes the format and its items.
  ui.AnswerNext(1);
  EXPECT_TRUE(ui.Menu("Borrar"));
  EXPECT_TRUE(Rows("ENC_EMP", {"CODIGO"}).empty());
  EXPECT_TRUE(Rows("DET_EMP", {"CODIGO"}).empty());
  // Closing everything with an editor open leaves no window behind.
  ASSERT_TRUE(ui.Menu("Agregar"));
  desktop.CloseAll();
  EXPECT_TRUE(desktop.windows().empty());
}

TEST_F(FormatsMenuTest, AMissingTableKeepsTheScreenOrItsEditorClosed) {
  std::filesystem::remove(file("F_CONST.DBF"));
  EXPECT_EQ(OpenFromMenu<qz::WDIAG>("DF_CST", "DF_CST"), nullptr);
  EXPECT_TRUE(desktop.windows().empty());
  EXPECT_EQ(desktop.edit_menu()[0].caption, "No hay operaciones asociadas");

  // Signatures open, but their editor needs the stages: it does not open and
  // the list is usable again.
  std::filesystem::remove(file("ETAP_PLA.DBF"));
  auto* screen = OpenFromMenu<qz::CatalogScreen>("USR_REQ", "USR_REQ");
  ASSERT_NE(screen, nullptr);
  ui.Menu("Agregar");
  desktop.Collect();
  EXPECT_EQ(desktop.FindWindow("AGREGAR_USR_REQ"), nullptr);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_TRUE(Entry("Agregar")->Enabled());
}

}  // namespace
