// Registering deposits: rates, applications and their remainder, the
// refusals that stop before any write, and the postings of each kind.
#include <gtest/gtest.h>

#include "cash/deposits_fixture.h"

namespace {

using qz::CounterLine;

class DepositRegister : public qztest::DepositsTest {
 protected:
  std::string Serial(const std::string& code) {
    for (auto& r : Rows("SERIALES"))
      if (r["CODIGO"] == code) return r["NUMERO"];
    return "";
  }
};

TEST_F(DepositRegister, DepositInTheReservationCurrencyHasRateOneAndItsOnlyApplicationIsTheAmount) {
  qz::DepositForm f = Form("01", 200, {"R1"});
  f.moneda = "US";
  qz::DepositRates rates = reg.ProposeRates(f);
  EXPECT_EQ(rates.cambio_res, 1);
  EXPECT_EQ(rates.cambio_con, 500);  // dollars to colones on the deposit date
  f.cambio_res = rates.cambio_res;
  f.cambio_con = rates.cambio_con;
  f.counterpart = {CounterLine{"1010", 0, 200}};
  auto mov = reg.Register(f);
  ASSERT_TRUE(mov);
  EXPECT_EQ(*mov, "DPA000001      ");

  auto enc = Rows("ENC_HLIB");
  ASSERT_EQ(enc.size(), 1u);
  EXPECT_EQ(enc[0]["SALDO"], "0.00");
  EXPECT_EQ(enc[0]["SALDO_IN"], "200.00");
  EXPECT_EQ(enc[0]["VER"], "0.00");  // nothing left: hidden
  EXPECT_EQ(enc[0]["INCLUIDO"], "1.00");
  EXPECT_EQ(enc[0]["COD_RES"], "R1");
  EXPECT_EQ(enc[0]["CAJA"], "01");
  EXPECT_EQ(enc[0]["NOMBRE"], "Mora Luisa");
  auto res8 = Rows("DET_RES8");
  ASSERT_EQ(res8.size(), 1u);
  EXPECT_EQ(res8[0]["MONTO_PAGO"], "200.00");
  EXPECT_EQ(res8[0]["TIP_PAGO"], "DP");  // the first payment type of kind 1
  EXPECT_EQ(res8[0]["DOC_PAGO"], "BOLETA-77");
  EXPECT_EQ(res8[0]["ITEM_HAB"], "0001");
  // The journal in colones: the deposit side on its link, the counterpart.
  EXPECT_DOUBLE_EQ(JournalNet("2100"), 100000);
  EXPECT_DOUBLE_EQ(JournalNet("1010"), -100000);
  ExpectBalancedJournal();
  EXPECT_EQ(Rows("DET_HLIB").size(), 1u);
  EXPECT_TRUE(Rows("ENC_LIB").empty());
}

TEST_F(DepositRegister, ARemainderWithinTheToleranceBecomesZeroOnABankDeposit) {
  qz::DepositForm f = Form("02", 100000.40, {"R1", "R2"});
  f.applications[0].monto = 150;
  f.applications[1].monto = 50;
  auto mov = reg.Register(f);
  ASSERT_TRUE(mov);
  auto enc = Rows("ENC_HLIB");
  EXPECT_EQ(enc[0]["SALDO"], "0.00");
  EXPECT_EQ(enc[0]["VER"], "0.00");
  EXPECT_EQ(enc[0]["COD_RES"], "R2");  // the last reservation applied
  EXPECT_EQ(Rows("DET_RES8").size(), 2u);
  // The bank book: balance, movement, lines and month.
  EXPECT_EQ(Rows("CUEN_LIB")[0]["SALDO"], "1100000.40");
  auto lib = Rows("ENC_LIB");
  ASSERT_EQ(lib.size(), 1u);
  EXPECT_EQ(lib[0]["NUMERO"], "LIB000001");
  EXPECT_EQ(lib[0]["MOVIMIENTO"], "DEP000001");
  EXPECT_EQ(lib[0]["SALDO"], "1100000.40");
  EXPECT_EQ(lib[0]["CONSOLIDA"], "0");
  EXPECT_EQ(Rows("DET_LIB").size(), 1u);
  EXPECT_EQ(Rows("DET_LIB4").size(), 1u);
  auto month = Rows("MES_LIB4");
  ASSERT_EQ(month.size(), 1u);
  EXPECT_EQ(month[0]["CREDITO"], "100000.40");
  EXPECT_DOUBLE_EQ(JournalNet("1100"), 100000.40);
  ExpectBalancedJournal();
}

TEST_F(DepositRegister, MoreThanTheReservationsTakeIsRefusedOrKeptAsBalance) {
  // Applications worth more than the deposit.
  qz::DepositForm f = Form("02", 50000, {"R1", "R2"});
  f.applications[0].monto = 150;
  f.applications[1].monto = 50;
  EXPECT_FALSE(reg.Register(f));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"El saldo no puede quedar en negativo\r\n100,000.00"});
  // Beyond the reservation's total and margin on a strict concept.
  f = Form("04", 400, {"R2"});
  f.moneda = "US";
  f.cambio_res = 1;
  f.cambio_con = 500;
  f.counterpart = {CounterLine{"1010", 0, 400}, CounterLine{"2100", 400, 0}};
  EXPECT_FALSE(reg.Register(f));
  ASSERT_FALSE(ui.boxes().empty());
  EXPECT_EQ(ui.boxes().back().title, "Errores de Aplicación de Depósito");
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Depósito de Reservación R2 supera el Monto de la "
                                     "Reservación: 300.00.  Aplicado: 400.00"});
  // Within the margin it passes the total, but a strict concept must apply it all.
  f.monto = 305;
  f.counterpart = {CounterLine{"1010", 0, 305}, CounterLine{"2100", 305, 0}};
  f.applications = {{"R2", "DB", "0001", "", 300}, {"R1", "DB", "0001", "", 0}};
  EXPECT_FALSE(reg.Register(f));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Los montos aplicados a las reservas no concuerdan con el "
                                     "monto del Depósito\r\n300.00"});
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("DET_ASIE").empty());
  // An ordinary concept keeps what the reservations do not take.
  f = Form("02", 200000, {"R1", "R2"});
  f.applications[0].monto = 150;
  f.applications[1].monto = 50;
  ASSERT_TRUE(reg.Register(f));
  auto enc = Rows("ENC_HLIB");
  EXPECT_EQ(enc[0]["SALDO"], "100000.00");
  EXPECT_EQ(enc[0]["VER"], "1.00");
}

TEST_F(DepositRegister, ARoomCheckedInMeanwhileIsSkippedAndItsShareStaysAsBalance) {
  qz::DepositForm f = Form("02", 60000, {"R1", "R3"});
  f.applications[0].monto = 100;
  f.applications[1].monto = 20;
  ASSERT_TRUE(reg.Register(f));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"No se puede aplicar a la Reservación: R3, pues ya se "
                                     "encuentra Check-In esta Habitación"});
  auto enc = Rows("ENC_HLIB");
  EXPECT_EQ(enc[0]["SALDO"], "10000.00");  // 60,000 less 100 dollars at 500
  EXPECT_EQ(enc[0]["COD_RES"], "R1");
  auto res8 = Rows("DET_RES8");
  ASSERT_EQ(res8.size(), 1u);
  EXPECT_EQ(res8[0]["COD_RES"], "R1");
}

TEST_F(DepositRegister, EachRefusalStopsBeforeAnythingIsWritten) {
  auto refused = [&](qz::DepositForm f, const std::string& text) {
    EXPECT_FALSE(reg.Register(f)) << text;
    EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{text});
  };
  HoldBox("");
  refused(Form("02", 100), "No hay Caja Abierta...");
  HoldBox("02");  // a box this station has no authorisation for
  refused(Form("02", 100), "Esta estación no está autorizada para registrar Pre-Pagos");
  HoldBox("01");
  qz::DepositForm f = Form("02", 100);
  f.hecho_por = "";
  refused(f, "Falta seleccionar el Encargado de hacer el depósito");
  refused(Form("99", 100), "Falta seleccionar el Concepto");
  f = Form("02", 100);
  f.moneda = "XX";
  refused(f, "Moneda inválida");
  f = Form("02", 100);
  f.cambio_res = 0;
  refused(f, "El tipo de cambio registrado para la reservación no debe ser igual a cero");
  f = Form("02", 100);
  f.cambio_con = 0;
  refused(f, "El tipo de cambio registrado para la contabilidad no debe ser igual a cero");
  f = Form("01", 100);
  f.moneda = "US";
  f.cambio_res = 1;
  f.cambio_con = 300;
  refused(f, "El Tipo de Cambio registrado para Contabilidad debe ser mayor a: 400.00");
  refused(Form("02", 0), "Debe definir un Monto mayor a Cero");
  f = Form("02", 100);
  f.fecha = 0;
  refused(f, "Fecha inválida");
  f = Form("01", 100);
  f.counterpart = {CounterLine{"1010", 0, 90}};
  refused(f, "La Contrapartida Contable no suma el monto (D)");
  f = Form("03", 100);
  f.counterpart = {CounterLine{"1010", 0, 90}, CounterLine{"2100", 89.99, 0}};
  refused(f, "La Contrapartida Contable no cierra!");
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("DET_ASIE").empty());
  EXPECT_EQ(Serial("DEP02"), "0.00");
}

TEST_F(DepositRegister, ReservationsWithDepositsAskBeforeAnotherIsApplied) {
  ASSERT_TRUE(reg.Register(Form("02", 10000, {"R1"})));
  ui.AnswerNext(2);
  EXPECT_FALSE(reg.Register(Form("02", 5000, {"R1", "R2"})));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"ADVERTENCIA:\r\rLa Reservación R1 ya tiene Depósitos "
                                     "aplicados.\r\r\rDesea continuar y aplicar el Movimiento?"});
  EXPECT_EQ(Rows("ENC_HLIB").size(), 1u);
  ui.AnswerNext(1);
  qz::DepositForm f = Form("02", 5000, {"R1", "R2"});
  f.applications[0].monto = 4;
  f.applications[1].monto = 6;
  auto mov = reg.Register(f);
  ASSERT_TRUE(mov);
  EXPECT_EQ(*mov, "DEP000002      ");
  EXPECT_EQ(Rows("DET_RES8").size(), 3u);
}

TEST_F(DepositRegister, AConceptWithoutItsSerialOrLinkIsRefusedBeforeWriting) {
  qz::DepositForm f = Form("03", 100);
  f.counterpart = {CounterLine{"1010", 0, 100}, CounterLine{"2100", 100, 0}};
  // The serial of concept 03 goes.
  auto t = xb::Table::Open(file("SERIALES") + ".DBF");
  ASSERT_TRUE(t.ok());
  for (uint32_t r = 1; r <= 4; ++r) {
    ASSERT_TRUE((*t)->GoTo(r).ok());
    auto code = (*t)->Get("CODIGO");
    if (code.ok() && code->str().rfind("DEP03", 0) == 0) {
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Delete().ok());
    }
  }
  (void)(*t)->UnlockAll();
  ASSERT_TRUE((*t)->Close().ok());
  EXPECT_FALSE(reg.Register(f));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"El Concepto no tiene un consecutivo definido: DEP03"});
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
}

}  // namespace
