// Distribution tables: the editor's lines and their two messages, a saved
// change of lines followed by the employees that use the table, a new code
// carried into them, all or nothing when another workstation holds one of
// them, and a second hotel's table edited while the first one's is open.
#include "accounting/def_dist.h"

#include <gtest/gtest.h>

#include "accounting/accounting_fixture.h"
#include "support/scripted_boxes.h"

namespace {

using qz::E_DIST;
using qztest::kCentral;
using qztest::kPlaya;

class DefDistTest : public qztest::AccountingSession {
 protected:
  void SetUp() override {
    AccountingSession::SetUp();
    screen = Open(kCentral);
    ASSERT_NE(screen, nullptr);
  }
  qz::DEF_DIST* Open(const std::string& business) {
    return qz::OpenScreen<qz::DEF_DIST>(desktop, "DEF_DIST", business);
  }
  // Opens the editor of `code` on `s` (an empty one without a code).
  E_DIST* Editor(qz::DEF_DIST* s, const std::string& code) {
    if (!code.empty() && !s->oB()->Select(RowOf(s->oB(), code)).ok()) return nullptr;
    desktop.Activate(s);
    if (!ui.Menu(code.empty() ? "Agregar" : "Modificar")) return nullptr;
    return dynamic_cast<E_DIST*>(desktop.active());
  }
  // "Asignar Centro de costo" with the centre whose entry begins with
  // `centre` ("" = none chosen).
  void Assign(E_DIST* e, const std::string& centre, const std::string& percent) {
    ui.OnDialog("ASIG_CC", [=](qz::WDIAG& d) {
      if (!centre.empty()) {
        for (const auto& entry : d.Control(E_DIST::kCentro)->entries)
          if (entry.text.rfind(centre + " ", 0) == 0) d.UserChoose(E_DIST::kCentro, entry.text);
      }
      d.UserType(E_DIST::kPorcentaje, percent);
      d.UserPress(1);
      if (!d.ended()) d.UserPress(2);
    });
    ui.Press(e, E_DIST::kAsignar);
  }
  qz::DEF_DIST* screen = nullptr;
};

TEST_F(DefDistTest, LinesAreAssignedOnceEachAndEveryMissingChoiceIsTold) {
  E_DIST* e = Editor(screen, "0001");
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(screen->window_enabled());
  const auto& shown = e->Control(E_DIST::kLines)->entries;
  ASSERT_EQ(shown.size(), 2u);
  const std::string figure = "\u2007";  // as wide as a digit
  EXPECT_EQ(shown[0].text, figure + "60.00   RESTAURANTE");
  EXPECT_EQ(shown[1].text, figure + "40.00   BAR");

  Assign(e, "", "10");
  EXPECT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Falta seleccionar el centro de costo"});
  Assign(e, "CC-BAR", "10");
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"No es permitido duplicar centros de costos.\r\n"
                                     "El código de centros de costo seleccionado ya existe"});
  Assign(e, "CC-ADM", "15.5");
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  ASSERT_EQ(e->lines().size(), 3u);
  EXPECT_EQ(e->lines()[2].percent, 15.5);

  // Cancel writes nothing.
  ui.Press(e, 2);
  EXPECT_TRUE(screen->window_enabled());
  EXPECT_EQ(Count(Rows("D_COSTO", {"COD_CENTRO"}), "CC-ADM"), 1u);
}

TEST_F(DefDistTest, SavedLinesAreFollowedByTheSplitsOfTheEmployeesUsingTheTable) {
  const auto before = Rows("DET_PER3", {"CODIGO", "COD_COLUMN", "COD_CENTRO", "PORCENTAJE"});
  E_DIST* e = Editor(screen, "0001");
  ASSERT_NE(e, nullptr);
  e->UserSelect(E_DIST::kLines, e->Control(E_DIST::kLines)->entries[1].text, true);  // BAR
  ui.Press(e, E_DIST::kQuitar);
  ASSERT_EQ(e->lines().size(), 1u);
  Assign(e, "CC-ADM", "40");
  ui.Press(e, 1);
  EXPECT_EQ(desktop.FindWindow("E_DIST"), nullptr);

  EXPECT_EQ(Rows("D_COSTO", {"CODIGO", "COD_CENTRO", "PORCENTAJE"}),
            (std::vector<std::string>{"HOTEL CENTRAL:0001/CC-ADM/40", "HOTEL CENTRAL:0001/CC-REST/60",
                                      "HOTEL CENTRAL:0002/CC-ADM/100", "HOTEL PLAYA:0001/CC-REST/100"}));
  const auto after = Rows("DET_PER3", {"CODIGO", "COD_COLUMN", "COD_CENTRO", "PORCENTAJE"});
  // E1 and E2 lose the bar and gain administration on each column with its
  // own split; E3 (the department's split) and the other hotel keep theirs.
  EXPECT_EQ(after, (std::vector<std::string>{
                       "HOTEL CENTRAL:E1/01/CC-ADM/40", "HOTEL CENTRAL:E1/01/CC-REST/60",
                       "HOTEL CENTRAL:E1/05/CC-ADM/40", "HOTEL CENTRAL:E1/05/CC-REST/100",
                       "HOTEL CENTRAL:E2/01/CC-ADM/40", "HOTEL CENTRAL:E2/01/CC-REST/60",
                       "HOTEL CENTRAL:E3/01/CC-REST/100", "HOTEL PLAYA:E1/01/CC-REST/100"}));
  EXPECT_EQ(after.size(), before.size() + 1);  // two removed, three added
}

TEST_F(DefDistTest, ANewCodeIsCarriedIntoTheEmployeesAndTakenCodesAreRefused) {
  qztest::ScriptedErrorDialog error;
  E_DIST* e = Editor(screen, "0001");
  ASSERT_NE(e, nullptr);
  ui.Type(e, E_DIST::kCodigo, "0002");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código  ya existe..."});
  ui.Type(e, E_DIST::kCodigo, "9");
  ui.Press(e, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_TRUE(error.lines.empty()) << error.lines.front() << "\n" << error.details.front();
  EXPECT_NE(std::find(ui.wait_texts().begin(), ui.wait_texts().end(),
                      "Un momento por favor(Recodificando)..."),
            ui.wait_texts().end());
  EXPECT_EQ(Rows("ENC_PERS", {"CODIGO", "DIST_COST"}),
            (std::vector<std::string>{"HOTEL CENTRAL:E1/9", "HOTEL CENTRAL:E2/9", "HOTEL CENTRAL:E3/",
                                      "HOTEL PLAYA:E1/0001"}));
  EXPECT_EQ(Count(Rows("D_COSTO", {"CODIGO"}), "HOTEL CENTRAL:9"), 2u);
  EXPECT_EQ(Count(Rows("DET_PER3", {"CODIGO"}), "HOTEL CENTRAL"), 6u);  // lines unchanged

  e = Editor(screen, "");
  ASSERT_NE(e, nullptr);
  ui.Type(e, E_DIST::kCodigo, "0002");
  ui.Press(e, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código ya existe..."});
  ui.Type(e, E_DIST::kCodigo, "0003");
  ui.Type(e, E_DIST::kDescrip, "Nueva");
  Assign(e, "CC-BAR", "100");
  ui.Press(e, 1);
  EXPECT_EQ(Count(Rows("D_COSTO", {"CODIGO", "COD_CENTRO"}), "HOTEL CENTRAL:0003/CC-BAR"), 1u);
  EXPECT_EQ(screen->oB()->RowCount(), 3);
}

TEST_F(DefDistTest, AnEmployeeAnotherWorkstationHoldsUndoesTheWholeSave) {
  const auto before = Everything();
  auto other = xb::Table::Open(file("ENC_PERS.DBF"));
  ASSERT_TRUE((*other)->LockRecord(2).ok());  // E2
  qztest::ScriptedErrorDialog error;
  E_DIST* e = Editor(screen, "0001");
  ASSERT_NE(e, nullptr);
  ui.Type(e, E_DIST::kCodigo, "0009");
  Assign(e, "CC-ADM", "5");
  ui.Press(e, 1);
  EXPECT_EQ(error.lines.size(), 1u);
  EXPECT_EQ(Everything(), before);
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
  // The form stays open with what was typed; once E2 is free it saves.
  ASSERT_EQ(desktop.FindWindow("E_DIST"), e);
  (*other)->UnlockAll();
  ui.Press(e, 1);
  EXPECT_EQ(Count(Rows("ENC_PERS", {"DIST_COST"}), "0009"), 2u);
  EXPECT_EQ(Count(Rows("DET_PER3", {"COD_CENTRO"}), "CC-ADM"), 3u);
}

TEST_F(DefDistTest, AnotherHotelsTableEditedMeanwhileIsLeftAsItsEditorSavedIt) {
  E_DIST* central = Editor(screen, "0001");
  ASSERT_NE(central, nullptr);
  // The user changes business in the toolbar and opens the tables again.
  qz::DEF_DIST* playa = Open(kPlaya);
  ASSERT_NE(playa, nullptr);
  EXPECT_EQ(playa->oB()->RowCount(), 1);
  E_DIST* beach = Editor(playa, "0001");
  ASSERT_NE(beach, nullptr);
  EXPECT_NE(beach->Control(E_DIST::kLines)->entries[0].text.find("RESTAURANTE PLAYA"),
            std::string::npos);
  ui.Type(beach, E_DIST::kDescrip, "PLAYA Y PISCINA");
  ui.Press(beach, 1);
  ui.Type(central, E_DIST::kDescrip, "ALIMENTOS");
  ui.Press(central, 1);
  EXPECT_EQ(Rows("E_COSTO", {"CODIGO", "DESCRIP"}),
            (std::vector<std::string>{"HOTEL CENTRAL:0001/ALIMENTOS", "HOTEL CENTRAL:0002/GENERAL",
                                      "HOTEL PLAYA:0001/PLAYA Y PISCINA"}));
  EXPECT_EQ(Count(Rows("D_COSTO", {"CODIGO"}), "HOTEL PLAYA"), 1u);
}

TEST_F(DefDistTest, DeletingATableDeletesItsLines) {
  ASSERT_TRUE(screen->oB()->Select(RowOf(screen->oB(), "0001")).ok());
  ui.Menu("Borrar");
  EXPECT_EQ(screen->oB()->RowCount(), 1);
  EXPECT_EQ(Rows("D_COSTO", {"CODIGO"}),
            (std::vector<std::string>{"HOTEL CENTRAL:0002", "HOTEL PLAYA:0001"}));
}

}  // namespace
