// The exchange-rate screen as a user works it: the currency tree, the rates
// of the clicked relation, adding, modifying and deleting rates and
// relations (a relation's rates move and go with it), the review range and
// the out-of-date warning it drives, and a user who may only look.
#include "admin/t_cambio.h"

#include <gtest/gtest.h>

#include "admin/currency_fixture.h"
#include "lib/payroll/rates.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog.h"
#include "shell/exchange_check.h"

namespace {

using qztest::kCentral;

class TCambioTest : public qztest::CurrencySession {
 protected:
  void SetUp() override {
    CurrencySession::SetUp();
    qz::G().XUSER_ABREVIA = "ANA";
    screen = qz::OpenScreen<qz::T_CAMBIO>(desktop, "T_CAMBIO", kCentral);
    ASSERT_NE(screen, nullptr);
    tree = screen->tree();
    grid = screen->grid();
  }
  qz::TreeNode* Node(const std::string& cargo) { return tree->Find(cargo); }
  std::vector<std::string> Dates() {
    std::vector<std::string> out;
    for (int r = 0; r < grid->RowCount(); ++r) out.push_back(grid->Cell(r, 0));
    return out;
  }
  void TypeRate(qz::WDIAG& d, const std::string& date, const std::string& rate1) {
    d.UserType(qz::T_CAMBIO::kFecha, date);
    d.UserType(qz::T_CAMBIO::kCambio1, rate1);
  }

  qz::T_CAMBIO* screen = nullptr;
  qz::TreeModel* tree = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(TCambioTest, TreeListsCurrenciesWithTheirRelationsAndTheGridFollowsTheClick) {
  EXPECT_EQ(screen->title(), "Defininción de Tipos de Cambio");
  ASSERT_EQ(tree->root()->children.size(), 3u);
  qz::TreeNode* us = Node("US");
  ASSERT_NE(us, nullptr);
  ASSERT_EQ(us->children.size(), 1u);
  EXPECT_EQ(us->children[0]->text, "COLONES   (¢)");
  EXPECT_EQ(grid->RowCount(), 0);  // nothing before a click
  tree->Click(Node("USCR"));
  EXPECT_EQ(Dates(), (std::vector<std::string>{"01/12/26", "07/12/26"}));
  tree->Click(us);  // a currency has no rates of its own
  EXPECT_EQ(grid->RowCount(), 0);
  ui.Menu("Agregar");
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Debe seleccionar una Relación de Tipo de Cambio"});
}

TEST_F(TCambioTest, AddModifyAndDeleteRatesOfTheSelectedRelation) {
  tree->Click(Node("USCR"));
  ui.OnDialog("MODIT_CAMBIO", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(qz::T_CAMBIO::kFecha), "08/12/26");  // today is proposed
    d.UserPress(1);                                       // rate 1 left at 0
    TypeRate(d, "07/12/26", "508");
    d.UserPress(1);  // that date has a rate already
    TypeRate(d, "31/02/26", "508");
    d.UserPress(1);
    TypeRate(d, "08/12/26", "1,508.25");
    d.UserType(qz::T_CAMBIO::kCambio1 + 1, "515");
    d.UserPress(1);
  });
  ui.Press(screen, qz::T_CAMBIO::kAgregar);
  EXPECT_EQ(
      ui.TakeBoxTexts(),
      (std::vector<std::string>{"El Tipo de Cambio #1 debe ser distinto de CERO",
                                "Ya existe un Tipo de Cambio para esa fecha", "Fecha inválida"}));
  EXPECT_EQ(Dates(), (std::vector<std::string>{"01/12/26", "07/12/26", "08/12/26"}));
  EXPECT_EQ(grid->current(), 2);
  auto stored =
      Rows("T_CAMBIO", {"MONEDA1", "MONEDA2", "FECHA", "LIMITE", "CAMBIO", "CAMBIO2", "USUARIO"});
  EXPECT_EQ(stored[3], "HOTEL CENTRAL:US/CR/20261208/20900101/1508.25/515/ANA");
  // The newest rate is the one in force.
  auto t = xb::Table::Open(file("T_CAMBIO.DBF"));
  EXPECT_EQ(qz::CFECHA_ACT(kCentral, **t, "CR", "US"), xb::JulianFromYmd(2026, 12, 8));

  grid->Select(0);
  ui.OnDialog("MODIT_CAMBIO", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(qz::T_CAMBIO::kCambio1), "505.00000");
    TypeRate(d, "02/12/26", "506");
    d.UserPress(1);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(Dates(), (std::vector<std::string>{"02/12/26", "07/12/26", "08/12/26"}));

  grid->Select(1);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar el tipo de Cambio?");
  EXPECT_EQ(Dates(), (std::vector<std::string>{"02/12/26", "08/12/26"}));
}

TEST_F(TCambioTest, RelationsAreAddedModifiedWithTheirRatesAndDeletedWithThem) {
  // A relation to the same currency, or one defined already, is refused.
  ui.OnDialog("T_CAMB_2", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(500), "DOLARES");
    EXPECT_EQ(d.Text(501), "0.00");
    d.UserChoose(601, "DOLARES");
    d.UserPress(1);
    d.UserChoose(601, "COLONES");
    d.UserPress(1);
    d.UserChoose(601, "EUROS");
    d.UserType(501, "0.25");
    d.UserPress(1);
  });
  ASSERT_TRUE(tree->ChooseContext(Node("US"), "Agregar..."));
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{"Problemas con los códigos de moneda ",
                                                         "Problemas con los códigos de moneda "}));
  ASSERT_NE(Node("USEU"), nullptr);
  EXPECT_EQ(Node("USEU")->text, "EUROS   (€)");
  EXPECT_EQ(Rows("DET_MON", {"MONEDA_1", "MONEDA_2", "PROYECTA"})[2], "HOTEL CENTRAL:US/EU/0.25");

  // Modifying the "to" currency moves the relation's rates along.
  tree->Click(Node("CREU"));
  ui.OnDialog("T_CAMB_2", [](qz::WDIAG& d) {
    d.UserChoose(601, "DOLARES");
    d.UserPress(1);
  });
  ASSERT_TRUE(tree->ChooseContext(Node("CREU"), "Modificar..."));
  EXPECT_EQ(Node("CREU"), nullptr);
  ASSERT_EQ(tree->selected(), Node("CRUS"));
  EXPECT_EQ(Dates(), std::vector<std::string>{"01/12/26"});
  EXPECT_EQ(Rows("T_CAMBIO", {"MONEDA1", "MONEDA2"})[0], "HOTEL CENTRAL:CR/US");

  // Deleting a relation takes its rates with it.
  ui.AnswerNext(1);
  ASSERT_TRUE(tree->ChooseContext(Node("USCR"), "Borrar..."));
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar la referencia?");
  EXPECT_EQ(Node("USCR"), nullptr);
  EXPECT_EQ(Rows("T_CAMBIO", {"MONEDA1", "MONEDA2"}),
            (std::vector<std::string>{"HOTEL CENTRAL:CR/US", "HOTEL PLAYA:US/CR"}));
  EXPECT_EQ(Rows("DET_MON", {"MONEDA_1", "MONEDA_2"}),
            (std::vector<std::string>{"HOTEL CENTRAL:CR/US", "HOTEL CENTRAL:US/EU",
                                      "HOTEL PLAYA:US/CR"}));
}

TEST_F(TCambioTest, ReviewRangeDrivesTheOutOfDateWarningUntilARateIsAdded) {
  const std::string euro_line =
      "Debe actualizar la definición de tipos de cambio de EUROS a COLONES\r";
  // No range: no warning.
  EXPECT_TRUE(qz::StaleRateLines(kCentral).empty());
  ui.OnDialog("NEG_CAMB", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Check(202), 1);  // months, as stored
    d.UserClick(201);
    d.UserType(501, "5");
    d.UserPress(1);
  });
  qz::NEG_CAMB(desktop, kCentral);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(Rows("NEGOCIOS", {"CODIGO", "CHECK_MON", "CANT_MON"})[0], ":HOTEL CENTRAL/1/5");
  // Dollars were quoted yesterday; euros (only stored against colones the
  // other way round) on the 1st, a week ago.
  EXPECT_EQ(qz::StaleRateLines(kCentral), std::vector<std::string>{euro_line});
  tree->Click(Node("CREU"));
  ui.OnDialog("MODIT_CAMBIO", [&](qz::WDIAG& d) {
    TypeRate(d, "08/12/26", "0.0018");
    d.UserPress(1);
  });
  ui.Menu("Agregar");
  EXPECT_TRUE(qz::StaleRateLines(kCentral).empty());
}

TEST_F(TCambioTest, AUserWhoMayOnlyLookChangesNothing) {
  screen->ENDDIALOG(1);
  desktop.Collect();
  desktop.SetRightsCheck([](int right) { return right >= 2831 && right <= 2833; });
  screen = qz::OpenScreen<qz::T_CAMBIO>(desktop, "T_CAMBIO", kCentral);
  tree = screen->tree();
  grid = screen->grid();
  const std::vector<std::string> before = Everything();
  tree->Click(Node("USCR"));
  EXPECT_FALSE(screen->ControlEnabled(qz::T_CAMBIO::kAgregar));
  EXPECT_FALSE(ui.Menu("Agregar"));
  EXPECT_FALSE(ui.Menu("Borrar"));
  ui.Press(screen, qz::T_CAMBIO::kAgregar);
  tree->ChooseContext(Node("US"), "Agregar...");
  tree->ChooseContext(Node("USCR"), "Modificar...");
  tree->ChooseContext(Node("USCR"), "Borrar...");
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>(3, "No tiene derechos para esta operación"));
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(grid->RowCount(), 2);  // looking is allowed
}

}  // namespace
