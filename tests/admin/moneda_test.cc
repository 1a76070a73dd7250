// The currency catalog: its form with combo and check box, duplicate codes,
// and renaming a currency, which carries the new code into every table of
// the suite all or nothing: with another user holding a row, with a table
// missing, and inside a server transaction that aborts.
#include "admin/moneda.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "admin/currency_fixture.h"
#include "lib/payroll/rates.h"
#include "lib/settings/globals.h"
#include "support/scripted_boxes.h"

namespace {

using qztest::C;
using qztest::kCentral;
using qztest::kPlaya;
using qztest::N;

class MonedaTest : public qztest::CurrencySession {
 protected:
  void SetUp() override {
    CurrencySession::SetUp();
    Open();
  }
  void Open() {
    screen = qz::OpenScreen<qz::MONEDA>(desktop, "MONEDA", kCentral);
    ASSERT_NE(screen, nullptr);
    grid = screen->oB();
  }
  int Row(const std::string& code) {
    for (int r = 0; r < grid->RowCount(); ++r)
      if (qz::TrimRight(grid->Cell(r, 0)) == code) return r;
    return -1;
  }
  // Opens the form on `code` and types a new code into it.
  void Rename(const std::string& code, const std::string& to) {
    ASSERT_TRUE(grid->Select(Row(code)).ok());
    ui.OnDialog("MODIMONEDA", [to](qz::WDIAG& d) {
      d.UserType(qz::MONEDA::kCodigo, to);
      d.UserPress(1);
      if (!d.ended()) d.UserPress(2);  // a save that failed leaves the form open
    });
    ui.Menu("Modificar");
  }
  qz::MONEDA* screen = nullptr;
  qz::WBLISTBOX* grid = nullptr;
};

TEST_F(MonedaTest, ListsTheBusinessCurrenciesAndAddsOneWithEveryField) {
  EXPECT_EQ(grid->RowCount(), 3);
  EXPECT_EQ(desktop.edit_menu().size(), 3u);
  EXPECT_EQ(desktop.edit_menu()[0].right, 2776);
  ui.OnDialog("MODIMONEDA", [](qz::WDIAG& d) {
    // Every currency of the business may be the equivalent one.
    ASSERT_EQ(d.Control(qz::MONEDA::kEquival)->entries.size(), 3u);
    d.UserType(qz::MONEDA::kCodigo, "cr");
    d.UserType(qz::MONEDA::kDescrip, "Otra");
    d.UserPress(1);  // "CR" exists: refused, the form stays open
    d.UserType(qz::MONEDA::kCodigo, "yn");
    d.UserType(qz::MONEDA::kSimbolo, "Y");
    d.UserType(qz::MONEDA::kSiglas, "JPY");
    d.UserType(qz::MONEDA::kCambioMin, "1,250.5");
    d.UserType(qz::MONEDA::kSalCxp, "7,5");  // not a number: refused
    d.UserPress(1);
    d.UserType(qz::MONEDA::kSalCxp, "0.05");
    d.UserClick(qz::MONEDA::kNegativo);
    d.UserChoose(qz::MONEDA::kEquival, "DOLARES");
    d.UserPress(1);
  });
  ui.Menu("Agregar");
  auto texts = ui.TakeBoxTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Código de MONEDA ya definido...");
  EXPECT_EQ(
      Rows("MONEDAS", {"CODIGO", "SIGLAS", "CAMBIO_MIN", "NEGATIVO", "EQUIVAL", "SAL_CXP"})[3],
      "HOTEL CENTRAL:YN/JPY/1250.5/1/US/0.05");
  EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(MonedaTest, ModifyShowsTheRowAndRefusesAnotherCurrencysCode) {
  ASSERT_TRUE(grid->Select(Row("EU")).ok());
  ui.OnDialog("MODIMONEDA", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(qz::MONEDA::kCodigo), "EU");
    EXPECT_EQ(d.Text(qz::MONEDA::kCambioMin), "0.00");
    EXPECT_EQ(
        d.Control(qz::MONEDA::kEquival)->entries[d.Control(qz::MONEDA::kEquival)->current].cargo,
        "CR");
    d.UserType(qz::MONEDA::kCodigo, "US");
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Menu("Modificar");
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Código de MONEDA Ya definido..."});
  EXPECT_EQ(Rows("MONEDAS", {"CODIGO"})[1], "HOTEL CENTRAL:EU");
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
}

TEST_F(MonedaTest, RenamingACurrencyRekeysEveryTableBothEndsAndOnlyThisBusiness) {
  const size_t rows_before = Everything().size();
  Rename("CR", "CO");
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(ui.wait_texts(), std::vector<std::string>{"Un momento por favor..."});
  // Documents of this business in colones, the currency itself, both ends
  // of its relations and of its rates, the accounting currency and the
  // euro's equivalence follow; the other business and other codes do not.
  for (const auto& t : qztest::kDocumentTables) {
    EXPECT_EQ(Rows(t, {"MONEDA"}),
              (std::vector<std::string>{"HOTEL CENTRAL:CO", "HOTEL CENTRAL:US", "HOTEL PLAYA:CR"}))
        << t;
  }
  EXPECT_EQ(Rows("MONEDAS", {"CODIGO", "EQUIVAL"}),
            (std::vector<std::string>{"HOTEL CENTRAL:CO/", "HOTEL CENTRAL:EU/CO",
                                      "HOTEL CENTRAL:US/", "HOTEL PLAYA:CR/"}));
  EXPECT_EQ(Rows("DET_MON", {"MONEDA_1", "MONEDA_2"}),
            (std::vector<std::string>{"HOTEL CENTRAL:CO/EU", "HOTEL CENTRAL:US/CO",
                                      "HOTEL PLAYA:US/CR"}));
  EXPECT_EQ(Rows("T_CAMBIO", {"MONEDA1", "MONEDA2", "CAMBIO"}),
            (std::vector<std::string>{"HOTEL CENTRAL:CO/EU/0.0017", "HOTEL CENTRAL:US/CO/505",
                                      "HOTEL CENTRAL:US/CO/507", "HOTEL PLAYA:US/CR/500"}));
  EXPECT_EQ(Rows("NEGOCIOS", {"CODIGO", "MONEDA_CON"}),
            (std::vector<std::string>{":HOTEL CENTRAL/CO", ":HOTEL PLAYA/CR"}));
  EXPECT_EQ(Everything().size(), rows_before);
  // The rates answer under the new code, in both directions.
  auto t = xb::Table::Open(file("T_CAMBIO.DBF"));
  const int32_t dec9 = xb::JulianFromYmd(2026, 12, 9);
  EXPECT_EQ(qz::CAMBIO_SPEC(kCentral, **t, "CO", "US", dec9), 507);
  EXPECT_DOUBLE_EQ(qz::CAMBIO_SPEC(kCentral, **t, "US", "CO", dec9), 1.0 / 507);
  EXPECT_EQ(qz::CAMBIO_SPEC(kCentral, **t, "CR", "US", dec9), 0);
  // The grid shows the new code and nothing stays locked.
  EXPECT_EQ(Row("CO"), 0);
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
  auto rates = xb::Table::Open(file("T_CAMBIO.DBF"));
  EXPECT_TRUE((*rates)->LockRecord(1).ok());  // another user can take any row
}

TEST_F(MonedaTest, RenamingWaitsForARateRowAnotherUserHolds) {
  auto other = xb::Table::Open(file("T_CAMBIO.DBF"));  // another workstation
  ASSERT_TRUE((*other)->LockRecord(2).ok());
  int asked = 0;
  ui.WhileBoxShown([&](const std::string& text) {
    if (text.rfind("El dato se encuentra bloqueado: ", 0) == 0 && ++asked == 2)
      (*other)->UnlockAll();
  });
  Rename("US", "DL");
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(Rows("T_CAMBIO", {"MONEDA1", "MONEDA2"}),
            (std::vector<std::string>{"HOTEL CENTRAL:CR/EU", "HOTEL CENTRAL:DL/CR",
                                      "HOTEL CENTRAL:DL/CR", "HOTEL PLAYA:US/CR"}));
  EXPECT_EQ(Rows("ENC_HLIB", {"MONEDA"})[1], "HOTEL CENTRAL:DL");
}

TEST_F(MonedaTest, ATableThatCannotBeOpenedMidwayChangesNothing) {
  desktop.Collect();
  std::filesystem::remove(file("ENC_HLIB.DBF"));  // the last table of the walk
  std::filesystem::remove(file("ENC_HLIB.CDX"));
  const std::vector<std::string> before = Everything();
  qztest::ScriptedErrorDialog error;
  Rename("CR", "CO");
  ASSERT_EQ(error.lines.size(), 1u);
  EXPECT_NE(error.lines[0].find("ENC_HLIB"), std::string::npos);
  EXPECT_EQ(Everything(), before);
  EXPECT_TRUE(screen->main_table()->LockedRecords().empty());
  for (const auto& t : {"ENC_CHEQ", "DET_MON", "T_CAMBIO", "MONEDAS"}) {
    auto other = xb::Table::Open(file(std::string(t) + ".DBF"));
    EXPECT_TRUE((*other)->LockRecord(1).ok()) << t;  // no lock left behind
  }
}

class MonedaServerTest : public MonedaTest {
 protected:
  void SetUp() override {
    CurrencySession::SetUp();
    inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
    inst.Start();
    qz::G().XU_COMP = kCentral;
    Open();
  }
};

TEST_F(MonedaServerTest, ARowLockedForGoodAbortsTheTransactionAndLeavesEverythingAsItWas) {
  const std::vector<std::string> before = Everything();
  auto other = xb::Table::Open(file("T_CAMBIO.DBF"));
  ASSERT_TRUE((*other)->LockRecord(3).ok());  // CR -> EU, never released
  qztest::ScriptedErrorDialog error;
  Rename("CR", "CO");
  EXPECT_EQ(error.lines.size(), 1u);
  (*other)->UnlockAll();
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(Rows("LOG_ROLL", {"USUARIO"}).size(), 1u);
  // Once the other user is gone the same rename goes through.
  Rename("CR", "CO");
  EXPECT_EQ(Rows("T_CAMBIO", {"MONEDA1"})[0], "HOTEL CENTRAL:CO");
  EXPECT_EQ(Rows("NEGOCIOS", {"MONEDA_CON"})[0], ":CO");
}

TEST_F(MonedaTest, DeleteAsksAndLeavesRelationsAndRates) {
  ASSERT_TRUE(grid->Select(Row("EU")).ok());
  // A user who may only look gets nothing from the entries.
  desktop.SetRightsCheck([](int right) { return right >= 2776 && right <= 2778; });
  EXPECT_FALSE(ui.Menu("Modificar"));
  EXPECT_FALSE(ui.Menu("Borrar"));
  EXPECT_EQ(grid->RowCount(), 3);
  desktop.SetRightsCheck(nullptr);
  ui.AnswerNext(2);
  ui.Menu("Borrar");
  EXPECT_EQ(grid->RowCount(), 3);
  ui.AnswerNext(1);
  ui.Menu("Borrar");
  EXPECT_EQ(ui.boxes().back().text, "Desea borrar la Moneda?");
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(Rows("DET_MON", {"MONEDA_2"}).size(), 3u);
}

}  // namespace
