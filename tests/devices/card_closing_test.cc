// Batch closings through the simulator libraries: the first bank's closing
// and Credomatic's pre-closing and closing, approved and refused; a missing
// library; short answers; stations without parameters; card payments.
#include <gtest/gtest.h>

#include "devices/credomat.h"
#include "devices/posware.h"
#include "devices/stations.h"
#include "devices/devices_fixture.h"

namespace {

using qztest::Biz;

class CardClosing : public qztest::DevicesTest {
 protected:
  void SetUp() override {
    DevicesTest::SetUp();
    InstallSimulators();
    AssignStation(kBiz, "CAJA1");
    Station("CAJA1", "01", "01", "Terminal Colones", "COMERCIO", "1001", "T-01");
    Station("CAJA1", "01", "02", "Terminal Dolares", "COMERCIO", "1002", "T-02");
    Station("CAJA2", "01", "01", "Otra caja", "X", "Y", "Z");
    Station("CAJA1", "02", "01", "Credomatic Colones", "CR-900");
    Station("CAJA1", "02", "02", "Credomatic sin terminal");
  }
};

TEST_F(CardClosing, FirstBankClosingApprovedThenRefused) {
  ui.OnDialog("CIE_POSWARE", [&](qz::WDIAG& d) {
    const auto& entries = d.Control(601)->entries;
    ASSERT_EQ(entries.size(), 2u);  // this station and bank only
    EXPECT_EQ(entries[1].text, "Terminal Dolares");
    d.UserPress(1);  // nothing chosen
    EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Debe seleccionar una Terminal válida"});
    ASSERT_TRUE(d.UserChoose(601, "Terminal Dolares"));
    d.UserPress(1);
    EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Cierre procesado correctamente"});
    Script("ProcessSettlement=17\n");
    d.UserPress(1);
    EXPECT_EQ(ui.TakeBoxTexts(),
              std::vector<std::string>{"El banco no aceptó el cierre. Código: 17"});
    d.UserPress(2);
  });
  qz::POSWARE(desktop, kBiz, "", 1);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"ProcessSettlement|COMERCIO|1002|T-02|100|99",
                                               "ProcessSettlement|COMERCIO|1002|T-02|100|99"}));
}

TEST_F(CardClosing, CredomaticClosingShowsTheBatchAndAShortAnswerLeavesFieldsEmpty) {
  Script("dllsettlement=00;LOTE CERRADO;x;AUT77;y;08/12/26;;;;;;1234567;500;7;1\n");
  ui.OnDialog("CIE_CREDOMAT", [&](qz::WDIAG& d) {
    ASSERT_EQ(d.Control(601)->entries.size(), 2u);
    ASSERT_TRUE(d.UserChoose(601, "Credomatic Colones"));
    d.UserPress(1);
    EXPECT_EQ(d.Text(501), "00");
    EXPECT_EQ(d.Text(502), "LOTE CERRADO");
    EXPECT_EQ(d.Text(503), "AUT77");
    EXPECT_EQ(d.Text(504), "08/12/26");
    EXPECT_EQ(d.Text(505), "12,345.67");  // hundredths
    EXPECT_EQ(d.Text(506), "5.00");
    EXPECT_EQ(d.Text(507), "7");
    EXPECT_EQ(d.Text(508), "1");
    // Refused, with an answer shorter than the fields read.
    Script("dllsettlement=05;TERMINAL OCUPADA\n");
    d.UserPress(1);
    EXPECT_EQ(d.Text(501), "05");
    EXPECT_EQ(d.Text(502), "TERMINAL OCUPADA");
    EXPECT_EQ(d.Text(503), "");
    EXPECT_EQ(d.Text(505), "0.00");
    Script("dllsettlement=\n");  // nothing at all
    d.UserPress(1);
    EXPECT_EQ(d.Text(501), "");
    // The station row without its terminal number is not sent to the bank.
    ASSERT_TRUE(d.UserChoose(601, "Credomatic sin terminal"));
    d.UserPress(1);
    EXPECT_EQ(ui.TakeBoxTexts(),
              std::vector<std::string>{"Terminal no encontrada en Base de Datos de Terminales"});
    d.UserPress(2);
  });
  qz::CREDOMAT(desktop, kBiz, "", 2);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"dllsettlement|CR-900", "dllsettlement|CR-900",
                                               "dllsettlement|CR-900"}));
  EXPECT_FALSE(qz::XCREDOMAT().loaded());  // unloaded after the window
}

TEST_F(CardClosing, CredomaticPreClosingAsksForTheReport) {
  Script("dllreport=00;PRE-CIERRE;;;;09/12/26;;;;;;100;0;1;0\n");
  ui.OnDialog("PRE_CIE_CREDOMAT", [&](qz::WDIAG& d) {
    d.UserChooseIndex(601, 0);
    d.UserPress(1);
    EXPECT_EQ(d.Text(502), "PRE-CIERRE");
    EXPECT_EQ(d.Text(505), "1.00");
    d.UserPress(2);
  });
  qz::CREDOMAT(desktop, kBiz, "", 1);
  EXPECT_EQ(Calls(), std::vector<std::string>{"dllreport|CR-900"});
}

TEST_F(CardClosing, StationRowWithoutParametersIsNotSettled) {
  Station("CAJA1", "01", "03", "Sin parametros");
  ui.OnDialog("CIE_POSWARE", [&](qz::WDIAG& d) {
    ASSERT_TRUE(d.UserChoose(601, "Sin parametros"));
    d.UserPress(1);
    d.UserPress(2);
  });
  qz::POSWARE(desktop, kBiz, "", 1);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Terminal no encontrada en Base de Datos de Terminales"});
  EXPECT_TRUE(Calls().empty());
  // A key that matches no row at all gets the same message.
  qz::POSWARE pos(desktop, kBiz, "01");
  EXPECT_FALSE(pos.PROCESS_SETTLEMENT(qz::WorkstationStation(kBiz), "NADA").has_value());
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"Terminal no encontrada en Base de Datos de Terminales"});
}

TEST_F(CardClosing, PaymentsUseTheWorkstationStationForTheCurrency) {
  Script(
      "dllpurchase=08;APROBADA CON FIRMA;;;REF1;AUT1;TRACE9\n"
      "dllcanceltrans=00;ANULADA\n"
      "ProcessTransaction=0\nProcessTransaction.account=4111\n"
      "ProcessTransaction.authorization=A1\n");
  qz::CREDOMAT credo(desktop, kBiz, "01");
  EXPECT_EQ(credo.xTerminalNumber, "CR-900");
  auto r = credo.PROCESS_TRANSACTION(1500.5, 1, "4111111111111111", "HAB 12", "GUEST");
  EXPECT_EQ(r, (std::vector<std::string>{"1", "************1111", "", "REF1", "AUT1", "TRACE9",
                                         "APROBADA CON FIRMA"}));
  EXPECT_EQ(credo.PROCESS_TRANSACTION(1, 1, "123", "", "")[1], "123");  // short account unmasked
  EXPECT_EQ(credo.CANCEL_TRANSACTION("REF1", "AUT1", "X"), (std::vector<std::string>{"1", "ANULADA"}));
  Script("dllpurchase=51\n");
  EXPECT_EQ(credo.PROCESS_TRANSACTION(5, 1, "4111", "", "")[0], "0");  // refused; short answer
  ASSERT_GE(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].substr(0, 52), "dllpurchase|CR-900|2|1|4111111111111111|1500.50|HAB ");

  qz::POSWARE pos(desktop, kBiz, "02");
  EXPECT_EQ(pos.xMerchantNumber, "1002");
  Script("ProcessTransaction=0\nProcessTransaction.account=4111\nProcessTransaction.authorization=A1\n");
  auto p = pos.PROCESS_TRANSACTION(10, "1");
  ASSERT_EQ(p.size(), 7u);
  EXPECT_EQ(p[0], "0");
  EXPECT_EQ(p[1], "4111" + std::string(16, ' '));  // NULs the terminal left become blanks
  EXPECT_EQ(p[4], "A1    ");
  EXPECT_EQ(pos.PROCESS_TRANSACTION(10, "2").size(), 2u);
}

TEST_F(CardClosing, WorkstationWithoutStationFindsOnlyBlankCodes) {
  qz::DeletePrivateProfileKey("ESTACION_CREDIT", kBiz, qz::QuartzelIni());
  EXPECT_EQ(qz::WorkstationStation(kBiz), std::string(15, ' '));
  Station("", "02", "01", "Sin codigo", "CR-000");
  qz::CREDOMAT credo(desktop, kBiz, "01");
  EXPECT_EQ(credo.xTerminalNumber, "CR-000");
}

class MissingLibraries : public qztest::DevicesTest {};

TEST_F(MissingLibraries, AreToldAndNothingIsCalled) {
  qz::POSWARE pos(desktop, kBiz, "", 1);
  qz::CREDOMAT credo(desktop, kBiz, "", 2);
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{"Library not found!!!!!",
                                                         "Library SOCKPOS.DLL not loaded..."}));
  EXPECT_TRUE(ui.modal_log().empty());  // no closing window without its library
  EXPECT_TRUE(pos.PROCESS_TRANSACTION(1, "1").empty());
  EXPECT_TRUE(credo.PROCESS_TRANSACTION(1, 1, "4111", "", "").empty());
  EXPECT_EQ(credo.PROCESS_SETTLEMENT("T").respuesta, "");
}

TEST(SockPosAnswer, SplitsAtEverySemicolon) {
  EXPECT_EQ(qz::SplitAnswer("00;OK;"), (std::vector<std::string>{"00", "OK"}));
  EXPECT_EQ(qz::SplitAnswer("00;;x"), (std::vector<std::string>{"00", "", "x"}));
  EXPECT_TRUE(qz::SplitAnswer("").empty());
  EXPECT_EQ(qz::AnswerField(qz::SplitAnswer("00"), 15), "");
  EXPECT_EQ(qz::MaskAccount("1234"), "1234");
  EXPECT_EQ(qz::MaskAccount("12345"), "*2345");
}

}  // namespace
