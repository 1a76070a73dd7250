// The deposit registration window: what it proposes, the lines edited in
// place, the reservation chooser, and what the user meets next — a refusal
// that keeps everything typed, a room checked in by the front desk
// meanwhile, a refused card, the window reached from the hotel box.
#include <gtest/gtest.h>

#include "cash/cash_window.h"
#include "cash/deposits/brow_dep.h"
#include "cash/deposits/reg_dep.h"
#include "cash/cash_fixture.h"
#include "cash/deposits_fixture.h"
#include "lib/ui/lists.h"

namespace {

using qz::REG_DEP;

class DepositWindow : public qztest::DepositsTest {
 protected:
  void SetUp() override {
    DepositsTest::SetUp();
    for (const char* t : {"TMP_HLI2", "TMP_HLI3"})
      qztest::CreateSchemaTable(inst.root + "PROFILE", t);
    // The comment tells the reservation and its dates.
    auto t = xb::Table::Open(file("F_HOTEL4") + ".DBF");
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->GoTo(1).ok());
    ASSERT_TRUE((*t)->LockRecord().ok());
    ASSERT_TRUE((*t)->Put("COM_PREPA", xb::Value::Number(1)).ok());
    ASSERT_TRUE((*t)->Close().ok());
    w = qz::OpenDepositRegistration(desktop, qztest::Biz(kBiz));
    ASSERT_NE(w, nullptr);
  }

  // Concept, currency, date and amount as the user gives them.
  void Deposit(const std::string& concepto, const std::string& currency, const std::string& amount) {
    ASSERT_TRUE(w->UserChoose(REG_DEP::kConcept, concepto));
    if (!currency.empty()) {
      ASSERT_TRUE(w->UserChoose(REG_DEP::kCurrency, currency));
    }
    ui.Type(w, REG_DEP::kDate, "08/12/26");
    ui.Type(w, REG_DEP::kAmount, amount);
  }
  // Picks grid row `row` of the reservation chooser (0 R1, 1 R2, 2 R3).
  void ChooseRoom(int row) {
    ui.OnDialog("SEL_RES", [row](qz::WDIAG& d) {
      d.Grid(700)->Select(row);
      d.UserPress(1);
    });
    ui.Press(w, REG_DEP::kAddReservation);
  }
  void CounterLine(const std::string& account, const std::string& debit, const std::string& credit) {
    ui.Press(w, REG_DEP::kAddLine);
    qz::WBLISTBOX* g = w->lines().counter_grid();
    const int row = g->current();
    ASSERT_TRUE(g->EditCell(row, 0, account));
    if (!debit.empty()) {
      ASSERT_TRUE(g->EditCell(row, 1, debit));
    }
    if (!credit.empty()) {
      ASSERT_TRUE(g->EditCell(row, 2, credit));
    }
  }
  void SetRoomState(int recno, const std::string& estado) {
    auto t = xb::Table::Open(file("DET_RES2") + ".DBF");
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->GoTo(recno).ok());
    ASSERT_TRUE((*t)->LockRecord().ok());
    ASSERT_TRUE((*t)->Put("ESTADO", xb::Value::Char(estado)).ok());
    ASSERT_TRUE((*t)->Close().ok());
  }

  REG_DEP* w = nullptr;
};

TEST_F(DepositWindow, ABoxClosedByAnotherWorkstationMeanwhileTakesNoDepositAndKeepsTheInput) {
  Deposit("01 - Depósito 01", "DOLARES", "200");
  ChooseRoom(0);
  CounterLine("1010", "", "200");
  // The toolbar of the front desk (CAJA_ABIERTA asks the tables only
  // when there is one); the supervisor closes box 01 from another
  // workstation while the window is open here.
  qztest::FakeCashButton toolbar(qztest::Biz(kBiz));
  qz::SetCashButton(&toolbar);
  ASSERT_EQ(qz::CloseBoxRecords(*qz::BoxKindFor(qz::kHotelToolbar), qztest::Biz(kBiz), "01", true),
            qz::BoxChange::kDone);
  ui.Press(w, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"No hay Caja Abierta..."});
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("DET_ASIE").empty());
  EXPECT_EQ(w->Text(REG_DEP::kAmount), "200");
  EXPECT_EQ(w->lines().applications_grid()->RowCount(), 1);
  EXPECT_EQ(qz::ProcessCashBoxes().XH_CAJAS.open, 0);  // let go here too
  EXPECT_EQ(toolbar.icon, 0);
  // The cashier opens the box again: what was typed goes through as it is.
  HoldBox("01");
  ui.Press(w, 1);
  ASSERT_EQ(Rows("ENC_HLIB").size(), 1u);
  EXPECT_EQ(Rows("ENC_HLIB")[0]["MONTO"], "200.00");
  EXPECT_EQ(Rows("DET_RES8").size(), 1u);
  ExpectBalancedJournal();
  qz::SetCashButton(nullptr);
}

TEST_F(DepositWindow, RegistersWhatWasTypedAndClearsTheDepositForTheNext) {
  EXPECT_EQ(w->Text(REG_DEP::kDate).size(), 8u);  // today proposed
  EXPECT_EQ(qz::CCOMBOBOX(*w, REG_DEP::kMadeBy).CURCARGO(), "ANA ");  // the only person
  Deposit("01 - Depósito 01", "DOLARES", "200");
  // Reservations are in dollars, accounts in colones.
  EXPECT_EQ(w->Text(REG_DEP::kRateRes), "1.0000");
  EXPECT_EQ(w->Text(REG_DEP::kRateCon), "500.0000");
  EXPECT_FALSE(w->ControlEnabled(REG_DEP::kCard));
  ChooseRoom(0);
  EXPECT_EQ(w->Text(REG_DEP::kComment), "Reservación R1 del 20/12/26 al 24/12/26");
  EXPECT_EQ(w->Text(REG_DEP::kArrival), "20/12/26");
  ASSERT_EQ(w->lines().applications_grid()->RowCount(), 1);
  EXPECT_EQ(w->lines().applications_grid()->Cell(0, 4), "      1,000.00");  // the total proposed
  ui.Type(w, REG_DEP::kSurname, "Mora");
  ui.Type(w, REG_DEP::kNumber, "BOLETA-1");
  CounterLine("1010", "", "200");
  EXPECT_EQ(w->lines().counter_grid()->TotalCell(2), "        200.00");

  ui.Press(w, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  auto enc = Rows("ENC_HLIB");
  ASSERT_EQ(enc.size(), 1u);
  EXPECT_EQ(enc[0]["COMENTARIO"], "Reservaci\xF3n R1 del 20/12/26 al 24/12/26");  // Windows-1252
  EXPECT_EQ(enc[0]["NUM_DEP"], "BOLETA-1");
  EXPECT_EQ(enc[0]["HECHO_POR"], "ANA");
  EXPECT_EQ(enc[0]["SALDO"], "0.00");  // the single application takes the whole deposit
  ASSERT_EQ(Rows("DET_RES8").size(), 1u);
  EXPECT_EQ(Rows("DET_RES8")[0]["MONTO_PAGO"], "200.00");
  ASSERT_EQ(Rows("DET_HLIB").size(), 1u);
  EXPECT_EQ(Rows("DET_HLIB")[0]["CUENTA_CON"], "1010");
  // Ready for the next deposit: the deposit's own fields and lines are gone,
  // concept, currency and rates stay.
  EXPECT_EQ(w->Text(REG_DEP::kLast), "Movimiento registrado: DPA000001");
  EXPECT_EQ(w->Text(REG_DEP::kAmount), "");
  EXPECT_EQ(w->Text(REG_DEP::kComment), "");
  EXPECT_EQ(w->lines().counter_grid()->RowCount(), 0);
  EXPECT_EQ(w->lines().applications_grid()->RowCount(), 0);
  EXPECT_EQ(w->Text(REG_DEP::kRateCon), "500.0000");
}

TEST_F(DepositWindow, ARefusedDepositKeepsEverythingTypedAndWritesNothing) {
  Deposit("01 - Depósito 01", "DOLARES", "200");
  ChooseRoom(0);
  ChooseRoom(1);
  ChooseRoom(1);  // the same room line is listed once
  qz::WBLISTBOX* apps = w->lines().applications_grid();
  ASSERT_EQ(apps->RowCount(), 2);
  ASSERT_TRUE(apps->EditCell(0, 4, "150"));
  ASSERT_TRUE(apps->EditCell(1, 4, "100"));
  EXPECT_FALSE(apps->EditCell(1, 4, "-5"));
  CounterLine("1010", "", "200");
  ui.Press(w, 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"El saldo no puede quedar en negativo\r\n250.00"});
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("DET_ASIE").empty());
  EXPECT_EQ(w->Text(REG_DEP::kAmount), "200");
  EXPECT_EQ(apps->RowCount(), 2);

  // The user lowers one application; the same window registers.
  ASSERT_TRUE(apps->EditCell(1, 4, "50"));
  ui.Press(w, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  ASSERT_EQ(Rows("ENC_HLIB").size(), 1u);
  EXPECT_EQ(Rows("DET_RES8").size(), 2u);
  ExpectBalancedJournal();
}

TEST_F(DepositWindow, AnApplicationAboveTheReservationIsRefusedByAStrictConcept) {
  Deposit("04 - Depósito 04", "DOLARES", "400");
  ChooseRoom(1);  // R2: total 300, margin 10
  CounterLine("1010", "400", "");
  CounterLine("2100", "", "400");
  ui.Press(w, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{
                                   "Depósito de Reservación R2 supera el Monto de la "
                                   "Reservación: 300.00.  Aplicado: 400.00"});
  EXPECT_EQ(ui.boxes().back().title, "Errores de Aplicación de Depósito");
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("SERIALES").size() > 0);
}

TEST_F(DepositWindow, ARoomCheckedInIsRefusedInTheChooserAndSkippedWhenItHappensMeanwhile) {
  Deposit("01 - Depósito 01", "DOLARES", "100");
  // R3 is checked in: the chooser says so and stays open.
  ui.OnDialog("SEL_RES", [](qz::WDIAG& d) {
    d.Grid(700)->Select(2);
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Press(w, REG_DEP::kAddReservation);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{
                                   "No se puede aplicar a la Reservación: R3, pues ya se "
                                   "encuentra Check-In esta Habitación"});
  EXPECT_EQ(w->lines().applications_grid()->RowCount(), 0);

  ChooseRoom(1);
  CounterLine("1010", "", "100");
  SetRoomState(2, "1");  // the front desk checks R2 in while the cashier types
  ui.Press(w, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{
                                   "No se puede aplicar a la Reservación: R2, pues ya se "
                                   "encuentra Check-In esta Habitación"});
  auto enc = Rows("ENC_HLIB");
  ASSERT_EQ(enc.size(), 1u);
  EXPECT_EQ(enc[0]["SALDO"], "100.00");  // kept for the folio
  EXPECT_EQ(enc[0]["INCLUIDO"], "0.00");
  EXPECT_TRUE(Rows("DET_RES8").empty());
}

TEST_F(DepositWindow, ARefusedCardPaymentPostsNothingAndTheCardCanBeTriedAgain) {
  UseCardTerminal();
  Deposit("05 - Depósito 05", "", "25000");
  // A bank concept takes its account's currency; the card field opens.
  EXPECT_EQ(qz::CCOMBOBOX(*w, REG_DEP::kCurrency).CURCARGO(), "CR");
  EXPECT_FALSE(w->ControlEnabled(REG_DEP::kCurrency));
  EXPECT_TRUE(w->ControlEnabled(REG_DEP::kCard));
  ui.Type(w, REG_DEP::kCard, "4111111111111111");
  Script("dllpurchase=51;FONDOS INSUFICIENTES\n");
  ui.Press(w, 1);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"TARJETA DENEGADA: FONDOS INSUFICIENTES"});
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("ENC_LIB").empty());
  EXPECT_EQ(Rows("CUEN_LIB")[0]["SALDO"], "1000000.00");
  EXPECT_EQ(w->Text(REG_DEP::kCard), "4111111111111111");

  Script("dllpurchase=00;APROBADA;;;REF1;AUT1;TRACE9\n");
  ui.Press(w, 1);
  ASSERT_EQ(Rows("ENC_HLIB").size(), 1u);
  EXPECT_EQ(Rows("ENC_HLIB")[0]["NUM_DEP"], "************1111");
  EXPECT_EQ(w->Text(REG_DEP::kCard), "");
}

TEST_F(DepositWindow, TheHotelBoxWindowLeadsToTheDepositsAndARegisteredOneShowsThere) {
  w->ENDDIALOG(2);
  desktop.Collect();
  qz::CashBoxWindow* box = qz::OpenCashBoxWindow(desktop, qz::kHotelToolbar, 1, qztest::Biz(kBiz));
  ASSERT_NE(box, nullptr);
  ui.Press(box, qz::CashBoxWindow::kDeposits);
  auto* browse = dynamic_cast<qz::BROW_DEP*>(desktop.FindWindow("BROW_DEP"));
  ASSERT_NE(browse, nullptr);
  EXPECT_EQ(browse->grid()->RowCount(), 0);
  ui.Press(browse, qz::BROW_DEP::kNew);
  w = dynamic_cast<REG_DEP*>(desktop.FindWindow("REG_DEP"));
  ASSERT_NE(w, nullptr);
  Deposit("02 - Depósito 02", "", "5000");
  ui.Press(w, 1);
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
  EXPECT_EQ(browse->grid()->RowCount(), 1);
}

}  // namespace
