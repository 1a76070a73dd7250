// Cost centres: the form's duplicate tests with their two messages, a new
// code carried into every split and distribution line of the business, and a
// re-coding that another workstation blocks midway, which leaves nothing
// half done.
#include "accounting/def_cc.h"

#include <gtest/gtest.h>

#include "accounting/accounting_fixture.h"
#include "accounting/def_dist.h"
#include "support/scripted_boxes.h"

namespace {

using qz::DEF_CC;
using qztest::kCentral;
using qztest::kPlaya;

class DefCcTest : public qztest::AccountingSession {
 protected:
  void SetUp() override {
    AccountingSession::SetUp();
    screen = qz::OpenScreen<DEF_CC>(desktop, "DEF_CC", kCentral);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }
  // Opens the form on `code` (or an empty one), types into it and accepts;
  // a form still open after that is cancelled.
  void Edit(const std::string& code, const std::string& new_code, const std::string& descrip = "",
            const std::string& prefix = "") {
    if (!code.empty()) {
      ASSERT_TRUE(grid->Select(RowOf(grid, code)).ok());
    }
    ui.OnDialog("E_CC", [=](qz::WDIAG& d) {
      d.UserType(DEF_CC::kCodigo, new_code);
      if (!descrip.empty()) d.UserType(DEF_CC::kDescrip, descrip);
      if (!prefix.empty()) d.UserType(DEF_CC::kPrefijo, prefix);
      d.UserPress(1);
      if (!d.ended()) d.UserPress(2);
    });
    ui.Menu(code.empty() ? "Agregar" : "Modificar");
  }
  DEF_CC* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(DefCcTest, AddsACentreAndRefusesTakenCodesWithTheirOwnMessages) {
  EXPECT_EQ(grid->RowCount(), 3);  // this business only
  Edit("", "cc-seg", "Seguridad", "60");
  EXPECT_EQ(Count(Rows("C_COSTOS", {"CODIGO", "DESCRIP", "PREFIJO"}), "HOTEL CENTRAL:CC-SEG/Seguridad/60"),
            1u);
  EXPECT_EQ(grid->RowCount(), 4);

  ui.TakeBoxTexts();
  Edit("", "CC-BAR", "Otro bar");
  ASSERT_EQ(ui.boxes().back().title, "Error");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código ya existe..."});
  // Changing a code to another centre's: the message with two blanks.
  Edit("CC-BAR", "CC-REST");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Este Código  ya existe..."});
  const auto rows = Rows("C_COSTOS", {"CODIGO", "DESCRIP"});
  EXPECT_EQ(Count(rows, "HOTEL CENTRAL:CC-BAR/BAR"), 1u);
  EXPECT_EQ(Count(rows, "Otro bar"), 0u);
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());

  // Keeping the code while changing the rest is no duplicate; a code another
  // business uses is free here.
  Edit("CC-BAR", "CC-BAR", "BAR Y PISCINA", "35");
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Count(Rows("C_COSTOS", {"CODIGO", "DESCRIP", "PREFIJO"}),
                  "HOTEL CENTRAL:CC-BAR/BAR Y PISCINA/35"),
            1u);
}

TEST_F(DefCcTest, ANewCodeIsCarriedIntoEverySplitAndLineOfTheBusiness) {
  Edit("CC-REST", "CC-COMI");
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_NE(std::find(ui.wait_texts().begin(), ui.wait_texts().end(),
                      "Un momento por favor(Recodificando)..."),
            ui.wait_texts().end());
  const auto dep = Rows("DET_DEP3", {"DEPTO", "COD_CENTRO"});
  EXPECT_EQ(Count(dep, "HOTEL CENTRAL:AYB/CC-COMI"), 1u);
  EXPECT_EQ(Count(dep, "HOTEL CENTRAL:ADM/CC-COMI"), 1u);
  EXPECT_EQ(Count(dep, "CC-REST"), 1u);  // the other hotel's
  const auto per = Rows("DET_PER3", {"CODIGO", "COD_COLUMN", "COD_CENTRO"});
  EXPECT_EQ(Count(per, "HOTEL CENTRAL:E1/01/CC-COMI"), 1u);
  EXPECT_EQ(Count(per, "HOTEL CENTRAL:E1/05/CC-COMI"), 1u);
  EXPECT_EQ(Count(per, "HOTEL CENTRAL:E2/01/CC-COMI"), 1u);
  EXPECT_EQ(Count(per, "HOTEL CENTRAL:E3/01/CC-COMI"), 1u);
  EXPECT_EQ(Count(per, "HOTEL PLAYA:E1/01/CC-REST"), 1u);
  EXPECT_EQ(Count(per, "CC-REST"), 1u);
  const auto lines = Rows("D_COSTO", {"CODIGO", "COD_CENTRO", "PORCENTAJE"});
  EXPECT_EQ(Count(lines, "HOTEL CENTRAL:0001/CC-COMI/60"), 1u);
  EXPECT_EQ(Count(lines, "HOTEL PLAYA:0001/CC-REST/100"), 1u);
  EXPECT_EQ(Count(Rows("C_COSTOS", {"CODIGO"}), "CC-COMI"), 1u);

  // The user goes on to the distribution tables: the line shows the centre
  // under its new code, with its description.
  auto* tables = qz::OpenScreen<qz::DEF_DIST>(desktop, "DEF_DIST", kCentral);
  ASSERT_NE(tables, nullptr);
  ASSERT_TRUE(tables->oB()->Select(RowOf(tables->oB(), "0001")).ok());
  ASSERT_TRUE(ui.Menu("Modificar"));
  auto* editor = dynamic_cast<qz::E_DIST*>(desktop.FindWindow("E_DIST"));
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->lines().size(), 2u);
  EXPECT_EQ(qz::TrimRight(editor->lines()[0].centre), "CC-COMI");
  EXPECT_NE(editor->Control(qz::E_DIST::kLines)->entries[0].text.find("RESTAURANTE"),
            std::string::npos);
}

TEST_F(DefCcTest, ASplitRowAnotherWorkstationHoldsUndoesTheWholeRecoding) {
  const auto before = Everything();
  // E3's salary split on CC-REST: reached after the department splits were
  // already re-coded.
  auto other = xb::Table::Open(file("DET_PER3.DBF"));
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(6).ok());
  qztest::ScriptedErrorDialog error;
  Edit("CC-REST", "CC-COMI");
  EXPECT_EQ(error.lines.size(), 1u);
  EXPECT_EQ(Everything(), before);
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
  auto centres = xb::Table::Open(file("C_COSTOS.DBF"));
  EXPECT_TRUE((*centres)->LockRecord(1).ok());  // no lock left behind
  (*centres)->UnlockAll();

  // Once the other workstation lets go, the same change goes through.
  (*other)->UnlockAll();
  Edit("CC-REST", "CC-COMI");
  EXPECT_EQ(Count(Rows("DET_PER3", {"COD_CENTRO"}), "CC-COMI"), 4u);
  EXPECT_EQ(Count(Rows("DET_DEP3", {"COD_CENTRO"}), "CC-COMI"), 2u);
}

TEST_F(DefCcTest, DeleteAsksFirstAndLeavesTheSplits) {
  ASSERT_TRUE(grid->Select(RowOf(grid, "CC-BAR")).ok());
  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar el puesto?");
  EXPECT_EQ(ui.boxes().back().title, "Advertencia");
  EXPECT_EQ(grid->RowCount(), 3);
  ui.Menu("Borrar");
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(Count(Rows("C_COSTOS", {"CODIGO"}), "CC-BAR"), 0u);
  EXPECT_EQ(Count(Rows("DET_DEP3", {"COD_CENTRO"}), "CC-BAR"), 1u);
}

}  // namespace
