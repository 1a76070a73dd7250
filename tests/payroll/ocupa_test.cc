// The occupation catalog as a user works it: inline dialog "MODIOCUPA",
// duplicate codes, codes of other businesses, blank-padded keys, delete with
// confirmation and the "Editar" popup.
#include "payroll/ocupa.h"

#include <gtest/gtest.h>

#include "support/ui_session.h"

namespace {

using qztest::Biz;
using qztest::C;

class OcupaTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    Create("T_OCUPA",
           {{{"NEGOCIO", C(Biz("HOTEL CENTRAL"))},
             {"CODIGO", C("COC")},
             {"DESCRIP", C("COCINERO")},
             {"XCODIGO", C("X-1")}},
            {{"NEGOCIO", C(Biz("HOTEL CENTRAL"))},
             {"CODIGO", C("AMA")},
             {"DESCRIP", C("AMA DE LLAVES")}},
            {{"NEGOCIO", C(Biz("HOTEL PLAYA"))}, {"CODIGO", C("BAR")}, {"DESCRIP", C("BARMAN")}}});
    screen = qz::OpenScreen<qz::OCUPA>(desktop, "OCUPA", Biz("HOTEL CENTRAL"));
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }

  std::vector<std::string> Codes() {
    std::vector<std::string> out;
    for (int r = 0; r < grid->RowCount(); ++r) out.push_back(qz::TrimRight(grid->Cell(r, 0)));
    return out;
  }
  // Every live row of the table as "BUSINESS|CODE|DESCRIP|XCODIGO", trimmed.
  std::vector<std::string> Stored() {
    auto t = xb::Table::Open(file("T_OCUPA.DBF"));
    std::vector<std::string> out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      out.push_back(qz::FieldText(**t, "NEGOCIO") + "|" + qz::FieldText(**t, "CODIGO") + "|" +
                    qz::FieldText(**t, "DESCRIP") + "|" + qz::FieldText(**t, "XCODIGO"));
    }
    return out;
  }
  void Fill(qz::WDIAG& d, const std::string& code, const std::string& descrip,
            const std::string& xcode = "") {
    d.UserType(500, code);
    d.UserType(501, descrip);
    d.UserType(502, xcode);
  }

  qz::OCUPA* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(OcupaTest, ListsTheBusinessRowsAndOffersItsEditEntries) {
  EXPECT_EQ(Codes(), (std::vector<std::string>{"AMA", "COC"}));
  EXPECT_EQ(grid->Cell(0, 1).substr(0, 13), "AMA DE LLAVES");
  ASSERT_EQ(desktop.edit_menu().size(), 3u);
  EXPECT_EQ(desktop.edit_menu()[0].caption, "Agregar ocupación");
  EXPECT_EQ(desktop.edit_menu()[2].right, 2678);

  ui.Press(screen, 1);  // "&Salir"
  EXPECT_TRUE(desktop.windows().empty());
  ASSERT_EQ(desktop.edit_menu().size(), 1u);
  EXPECT_EQ(desktop.edit_menu()[0].caption, "No hay operaciones asociadas");
  EXPECT_FALSE(ui.Menu("Agregar ocupación"));
}

TEST_F(OcupaTest, AddStoresEveryFieldAndSelectsTheNewRow) {
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(500), "");  // adding starts empty
    Fill(d, "Mes", "Mesero", "EXT-9");
    d.UserPress(1);
  });
  ASSERT_TRUE(ui.Menu("Agregar ocupación"));
  EXPECT_EQ(Codes(), (std::vector<std::string>{"AMA", "COC", "MES"}));  // "!" shows upper case
  EXPECT_EQ(grid->current(), 2);
  EXPECT_EQ(grid->NMAXREC, 3);
  EXPECT_EQ(Stored().back(), "HOTEL CENTRAL|MES|Mesero|EXT-9");  // stored as shown
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(OcupaTest, DuplicateCodeOnAddKeepsTheDialogOpenAndWritesNothing) {
  auto before = Stored();
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    Fill(d, "COC ", "OTRO COCINERO");  // trailing blank: the same blank-padded key
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(d.Text(501), "OTRO COCINERO");  // what was typed is still there
  });
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) { d.UserPress(2); });
  ui.Menu("Agregar ocupación");
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].text, "Código de ocupación ya definido...");
  EXPECT_EQ(ui.boxes()[0].title, "Error");
  EXPECT_EQ(Stored(), before);
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
}

TEST_F(OcupaTest, CodeOfAnotherBusinessMayBeAdded) {
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    Fill(d, "BAR", "BARTENDER");
    d.UserPress(1);
  });
  ui.Menu("Agregar ocupación");
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(Codes(), (std::vector<std::string>{"AMA", "BAR", "COC"}));
}

TEST_F(OcupaTest, ModifyKeepingTheCodePassesTheDuplicateTest) {
  grid->Select(1);  // COC
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(500), "COC");
    EXPECT_EQ(d.Text(501), "COCINERO");
    EXPECT_EQ(d.Text(502), "X-1");
    d.UserType(501, "COCINERO JEFE");
    d.UserPress(1);
  });
  ui.Menu("Modificar ocupación");
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_TRUE(ui.wait_texts().empty());  // no code change, no waiting window
  EXPECT_EQ(Stored()[0], "HOTEL CENTRAL|COC|COCINERO JEFE|X-1");
}

TEST_F(OcupaTest, ModifyToAnExistingCodeIsRefused) {
  grid->Select(1);  // COC -> AMA
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    d.UserType(500, "AMA");
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Menu("Modificar ocupación");
  ASSERT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de ocupación ya definido..."});
  EXPECT_EQ(Stored()[0], "HOTEL CENTRAL|COC|COCINERO|X-1");
  EXPECT_EQ(qz::FieldText(*screen->main_table(), "CODIGO"), "COC");  // back on its row
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
}

TEST_F(OcupaTest, CodeChangeShowsTheWaitWindowAndMovesTheRow) {
  grid->Select(1);
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    d.UserType(500, "ZCO");
    d.UserPress(1);
  });
  ui.Menu("Modificar ocupación");
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor..."});
  EXPECT_FALSE(ui.wait_open());
  EXPECT_EQ(Codes(), (std::vector<std::string>{"AMA", "ZCO"}));
  EXPECT_EQ(grid->current(), 1);  // the modified row stays selected
}

TEST_F(OcupaTest, DeleteAsksAndOnlyOkDeletes) {
  grid->Select(0);  // AMA
  ui.AnswerNext(2);
  ui.Menu("Borrar ocupación");
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].text, "Desea borrar la ocupación?");
  EXPECT_EQ(ui.boxes()[0].title, "Advertencia");
  EXPECT_EQ(ui.boxes()[0].style, 33);
  EXPECT_EQ(Codes(), (std::vector<std::string>{"AMA", "COC"}));

  ui.AnswerNext(1);
  ui.Menu("Borrar ocupación");
  EXPECT_EQ(Codes(), std::vector<std::string>{"COC"});
  EXPECT_EQ(grid->NMAXREC, 1);
  EXPECT_EQ(Stored().size(), 2u);  // hidden, and the other business's row untouched
}

TEST_F(OcupaTest, CancelWritesNothingAndEmptyListRefusesModify) {
  auto before = Stored();
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    Fill(d, "NEW", "NUEVO");
    d.UserPress(2);
  });
  ui.Menu("Agregar ocupación");
  EXPECT_EQ(Stored(), before);

  ui.AnswerNext(1);
  ui.AnswerNext(1);
  ui.Menu("Borrar ocupación");
  ui.Menu("Borrar ocupación");
  EXPECT_EQ(grid->RowCount(), 0);
  ui.Menu("Modificar ocupación");  // nothing to modify: told so, no dialog
  EXPECT_EQ(ui.boxes().back().text, "No hay registros a modificar");
  EXPECT_TRUE(ui.modal_log().size() == 1);
}

TEST_F(OcupaTest, TextLongerThanTheFieldIsCutAtTheControl) {
  ui.OnDialog("MODIOCUPA", [&](qz::WDIAG& d) {
    d.UserType(500, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_TRUE(d.last_input_refused());
    EXPECT_EQ(d.Text(500), "ABCDEFGHIJKLMNO");
    d.UserType(501, std::string(60, 'x'));
    d.UserPress(1);
  });
  ui.Menu("Agregar ocupación");
  EXPECT_EQ(Stored().back(), "HOTEL CENTRAL|ABCDEFGHIJKLMNO|" + std::string(40, 'x') + "|");
}

class OcupaOpen : public qztest::UiSession {};

TEST_F(OcupaOpen, MissingTableOpensNoWindowAndLeavesNothingOpen) {
  auto* s = qz::OpenScreen<qz::OCUPA>(desktop, "OCUPA", Biz("HOTEL CENTRAL"));
  EXPECT_EQ(s, nullptr);
  EXPECT_TRUE(desktop.windows().empty());
  EXPECT_EQ(desktop.edit_menu()[0].caption, "No hay operaciones asociadas");
}

}  // namespace
