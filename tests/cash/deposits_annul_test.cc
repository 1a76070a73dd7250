// Annulling deposits (every balance back as before the deposit), card
// payments, and writes that fail midway leaving nothing posted.
#include <gtest/gtest.h>

#include "cash/deposits/deposit_annul.h"
#include "cash/deposits_fixture.h"

namespace {

using qz::CounterLine;

class DepositAnnul : public qztest::DepositsTest {
 protected:
  void SetUp() override {
    DepositsTest::SetUp();
    UseCardTerminal();
  }
  bool Annul(const std::string& mov, int32_t fecha) {
    if (!qz::MayAnnulDeposit(nullptr, qztest::Biz(kBiz), mov)) return false;
    return qz::AnnulDeposit(nullptr, qztest::Biz(kBiz), mov, fecha, "ANA");
  }
  void SetRoomState(const std::string& res, const std::string& estado) {
    auto t = xb::Table::Open(file("DET_RES2") + ".DBF");
    ASSERT_TRUE(t.ok());
    for (uint32_t r = 1; r <= 3; ++r) {
      ASSERT_TRUE((*t)->GoTo(r).ok());
      if ((*t)->Get("COD_RES")->str().rfind(res, 0) != 0) continue;
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Put("ESTADO", xb::Value::Char(estado)).ok());
    }
    ASSERT_TRUE((*t)->Close().ok());
  }
  // What a deposit must leave as it found: balances of the bank account,
  // of every month and account, and of every journal account.
  struct Balances {
    std::string bank;
    std::map<std::string, double> month, journal;
    bool operator==(const Balances&) const = default;
  };
  Balances Snapshot() {
    Balances b;
    b.bank = Rows("CUEN_LIB")[0]["SALDO"];
    for (auto& r : Rows("MES_LIB4")) {
      double net = std::stod(r["DEBITO"]) - std::stod(r["CREDITO"]);
      if (std::abs(net) > 0.001) b.month[r["CUENTA"] + r["MES"]] += net;
    }
    for (auto& r : Rows("DET_ASIE")) {
      b.journal[r["CUENTA"]] += std::stod(r["DEBITO"]) - std::stod(r["CREDITO"]);
      if (std::abs(b.journal[r["CUENTA"]]) < 0.001) b.journal.erase(r["CUENTA"]);
    }
    return b;
  }
};

TEST_F(DepositAnnul, ABankDepositAnnulledLeavesEveryBalanceAsBefore) {
  const Balances before = Snapshot();
  qz::DepositForm f = Form("02", 80000, {"R1", "R2"});
  f.applications[0].monto = 100;
  f.applications[1].monto = 20;
  auto mov = reg.Register(f);
  ASSERT_TRUE(mov);
  ASSERT_FALSE(Snapshot() == before);
  ASSERT_TRUE(Annul(*mov, J(2026, 12, 9)));
  EXPECT_TRUE(Snapshot() == before);
  EXPECT_TRUE(Rows("DET_RES8").empty());
  auto enc = Rows("ENC_HLIB");
  EXPECT_EQ(enc[0]["ANULADO"], "1.00");
  EXPECT_EQ(enc[0]["SALDO"], "0.00");
  auto lib = Rows("ENC_LIB");
  ASSERT_EQ(lib.size(), 2u);
  EXPECT_EQ(lib[1]["DESCRIP"], "Anulaci\xF3n Dep: BOLETA-77");  // stored in Windows-1252
  EXPECT_EQ(lib[1]["SALDO"], "1000000.00");
  ExpectBalancedJournal();
  // Once is all.
  EXPECT_FALSE(Annul(*mov, J(2026, 12, 9)));
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"No se puede anular un movimiento ya anulado"});
  EXPECT_TRUE(Snapshot() == before);
}

TEST_F(DepositAnnul, TheReservationTypeADepositGaveGoesBackWithItsLastAnnulment) {
  {
    auto t = xb::Table::Open(file("CON_HLIB") + ".DBF");
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->GoTo(1).ok());  // concept 01
    ASSERT_TRUE((*t)->LockRecord().ok());
    ASSERT_TRUE((*t)->Put("CAMB_RES", qztest::N(1)).ok());
    ASSERT_TRUE((*t)->Put("TIP_RES", qztest::C("DP")).ok());
    ASSERT_TRUE((*t)->Close().ok());
  }
  auto type_of = [&](const std::string& res) {
    for (auto& r : Rows("ENC_RES"))
      if (r["CODIGO"] == res) return r["TIPO"];
    return std::string("?");
  };
  qz::DepositForm f = Form("01", 50000, {"R1"});
  f.counterpart = {CounterLine{"1010", 0, 50000}};
  auto first = reg.Register(f);
  auto second = reg.Register(f);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(type_of("R1"), "DP");
  EXPECT_EQ(Rows("DET_RES8")[0]["TIPO_ANT"], "GA");
  // The second deposit still applies to R1: its type stays.
  ASSERT_TRUE(Annul(*first, J(2026, 12, 9)));
  EXPECT_EQ(type_of("R1"), "DP");
  ASSERT_TRUE(Annul(*second, J(2026, 12, 9)));
  EXPECT_EQ(type_of("R1"), "GA");
  EXPECT_EQ(type_of("R2"), "GA");
}

TEST_F(DepositAnnul, RoomsDatesAndBoxRefuseTheAnnulmentUntilTheyAllow) {
  qz::DepositForm f = Form("01", 50000, {"R1"});
  f.counterpart = {CounterLine{"1010", 0, 50000}};
  auto mov = reg.Register(f);
  ASSERT_TRUE(mov);
  const Balances before_annul = Snapshot();
  EXPECT_FALSE(Annul("", J(2026, 12, 9)));
  SetRoomState("R1", "1");
  EXPECT_FALSE(Annul(*mov, J(2026, 12, 9)));
  SetRoomState("R1", "2");
  EXPECT_FALSE(Annul(*mov, J(2026, 12, 9)));
  SetRoomState("R1", "0");
  qztest::AddRows(bases, "MAESTRAS", {{{"NEGOCIO", qztest::C(qztest::Biz(kBiz))},
                               {"CODIGO", qztest::C("R1")}, {"ESTADO", qztest::C("C")}}});
  EXPECT_FALSE(Annul(*mov, J(2026, 12, 9)));
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{
                "Falta seleccionar el movimiento que desea anular",
                "El déposito se encuentra asociado a una habitación Checked-In\r\n# Reserva "
                ":R1\r\nHabitacion :101",
                "El déposito se encuentra asociado a una habitación Checked-Out\r\n# Reserva "
                ":R1\r\nHabitacion :101",
                "El déposito se encuentra asociado a una Cuenta Maestra cerrada\r\nMaestra :R1"}));
  Create("MAESTRAS");
  qztest::AddRows(bases, "SALDOS", {{{"NEGOCIO", qztest::C(qztest::Biz(kBiz))},
                             {"CUENTA", qztest::C("2100")}, {"FECHA", D(2026, 11, 30)}}});
  EXPECT_FALSE(Annul(*mov, J(2026, 11, 28)));  // a closed period
  EXPECT_FALSE(Annul(*mov, J(2026, 12, 7)));   // before the deposit
  HoldBox("");
  EXPECT_FALSE(Annul(*mov, J(2026, 12, 9)));
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{
                "El movimiento no se puede procesar pues se encuentra\r\nfuera del periódo contable",
                "La Fecha de Anulación debe ser superior a la Fecha de Creación del Movimiento",
                "No hay Caja Abierta..."}));
  EXPECT_TRUE(Snapshot() == before_annul);
  HoldBox("01");
  ASSERT_TRUE(Annul(*mov, J(2026, 12, 9)));
  EXPECT_TRUE(Snapshot().journal.empty());  // the reversing entry undoes the deposit's
  EXPECT_TRUE(Rows("DET_RES8").empty());
}

TEST_F(DepositAnnul, ABankMovementOutsideTheActiveMonthIsNotAnnulled) {
  auto mov = reg.Register(Form("02", 1000));
  ASSERT_TRUE(mov);
  qztest::AddRows(bases, "F_BANCOS", {{{"NEGOCIO", qztest::C(qztest::Biz(kBiz))},
                               {"MES_ACT", qztest::N(12)}, {"ANHO_ACT", qztest::N(2026)}}});
  EXPECT_FALSE(Annul(*mov, J(2027, 1, 2)));
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"El movimiento a procesar se encuentra "
                                                        "fuera del año activo del módulo"});
  EXPECT_EQ(Rows("ENC_LIB").size(), 1u);
}

TEST_F(DepositAnnul, ARefusedCardPostsNothingAndAnApprovedOneBecomesTheDocument) {
  Script("dllpurchase=51;FONDOS INSUFICIENTES\n");
  qz::DepositForm f = Form("05", 25000);
  f.card_account = "4111111111111111";
  EXPECT_FALSE(reg.Register(f));
  Script("dllpurchase=\n");  // no answer at all
  EXPECT_FALSE(reg.Register(f));
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"TARJETA DENEGADA: FONDOS INSUFICIENTES",
                                      "TARJETA DENEGADA: Error notificado del Banco"}));
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("ENC_LIB").empty());
  EXPECT_TRUE(Rows("DET_ASIE").empty());
  EXPECT_EQ(Rows("CUEN_LIB")[0]["SALDO"], "1000000.00");

  Script("dllpurchase=00;APROBADA;;;REF1;AUT1;TRACE9\n");
  ASSERT_TRUE(reg.Register(f));
  auto enc = Rows("ENC_HLIB");
  ASSERT_EQ(enc.size(), 1u);
  EXPECT_EQ(enc[0]["NUM_DEP"], "************1111");
  EXPECT_EQ(enc[0]["PE_TARJ"], "************1111");
  EXPECT_EQ(enc[0]["PE_REFNO"], "REF1");
  EXPECT_EQ(enc[0]["PE_AUTID"], "AUT1");
  EXPECT_EQ(enc[0]["PE_TRACE_N"], "TRACE9");
  EXPECT_EQ(enc[0]["PE_TIPO"], "02");
  EXPECT_EQ(Calls()[2].substr(0, 48), "dllpurchase|CR-900|2|1|4111111111111111|25000.00");
}

TEST_F(DepositAnnul, ALockHeldByAnotherWorkstationMidwayLeavesNothingPosted) {
  Script("dllpurchase=00;APROBADA;;;REF1;AUT1;TRACE9\ndllcanceltrans=00;ANULADA\n");
  const Balances before = Snapshot();
  // Another workstation holds the bank account the posting must change.
  auto other = xb::Table::Open(file("CUEN_LIB") + ".DBF");
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->LockRecord(1).ok());
  qz::DepositForm f = Form("05", 25000, {"R1"});
  f.card_account = "4111111111111111";
  EXPECT_FALSE(reg.Register(f));
  EXPECT_TRUE(Rows("ENC_HLIB").empty());
  EXPECT_TRUE(Rows("DET_RES8").empty());
  EXPECT_TRUE(Rows("ENC_LIB").empty());
  EXPECT_TRUE(Snapshot() == before);
  EXPECT_FALSE(Rows("LOG_ROLL").empty());
  // The approved charge went back to the card.
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1], "dllcanceltrans|CR-900|REF1|AUT1|TRACE9");

  // Once it is released the same deposit goes through with the first number.
  ASSERT_TRUE((*other)->Close().ok());
  auto mov = reg.Register(f);
  ASSERT_TRUE(mov);
  EXPECT_EQ(*mov, "DEP000001      ");
  EXPECT_EQ(Rows("ENC_LIB")[0]["NUMERO"], "LIB000001");
}

}  // namespace
