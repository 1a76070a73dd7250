// The deposit browse: movements by concept, the footer, view and print,
// correcting the guest, annulling through its window, and the reports.
#include <gtest/gtest.h>

#include <filesystem>

#include "cash/deposits/brow_dep.h"
#include "cash/deposits/deposit_annul.h"
#include "cash/deposits/deposit_reports.h"
#include "cash/deposits_fixture.h"
#include "lib/ui/cell_click.h"

namespace {

using qz::CounterLine;

class DepositBrowse : public qztest::DepositsTest {
 protected:
  void SetUp() override {
    DepositsTest::SetUp();
    qz::DepositForm f = Form("02", 80000, {"R1"});
    ASSERT_TRUE(reg.Register(f));
    f = Form("01", 200, {"R2"});
    f.moneda = "US";
    f.cambio_res = 1;
    f.cambio_con = 500;
    f.num_dep = "BOLETA-78";
    f.apellido = "Quesada";
    f.counterpart = {CounterLine{"1010", 0, 200}};
    ASSERT_TRUE(reg.Register(f));
    browse = qz::OpenDepositBrowse(desktop, qztest::Biz(kBiz));
    ASSERT_NE(browse, nullptr);
  }
  qz::BROW_DEP* browse = nullptr;
};

TEST_F(DepositBrowse, ConceptsNarrowTheGridAndTheFooterFollowsTheRow) {
  EXPECT_EQ(browse->grid()->RowCount(), 2);
  EXPECT_EQ(browse->tree()->size(), 6);  // the root and the business's five concepts
  browse->tree()->Click(browse->tree()->Find("02"));
  ASSERT_EQ(browse->grid()->RowCount(), 1);
  EXPECT_EQ(browse->Selected(), "DEP000001      ");
  ui.Idle();
  clock.Advance(300);
  ui.Idle();
  EXPECT_EQ(browse->Text(qz::BROW_DEP::kName), "Nombre :Mora Luisa");
  EXPECT_EQ(browse->Text(qz::BROW_DEP::kState), "Incluido en Reservación  :R1");
  browse->tree()->Click(browse->tree()->Find("04"));  // a concept without movements
  EXPECT_EQ(browse->grid()->RowCount(), 0);
  browse->UserPress(qz::BROW_DEP::kView);
  browse->UserPress(qz::BROW_DEP::kAnnul);
  EXPECT_EQ(ui.TakeBoxTexts(),
            (std::vector<std::string>{"Falta seleccionar el depósito que desea ver",
                                      "Falta seleccionar el movimiento que desea anular"}));
  browse->tree()->Click(browse->tree()->root()->children.front().get());
  EXPECT_EQ(browse->grid()->RowCount(), 2);
  browse->UserPress(qz::BROW_DEP::kView);
  ASSERT_EQ(ui.previews().size(), 1u);
  EXPECT_NE(ui.previews()[0].PlainText().find("BOLETA-78"), std::string::npos);  // concept 01 first
}

TEST_F(DepositBrowse, CorrectingTheGuestRebuildsTheNameAndAnnullingMarksTheRowNull) {
  browse->tree()->Click(browse->tree()->Find("02"));
  ui.OnDialog("COR_DEP", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(501), "Mora");
    d.UserType(501, "Mora Solís");
    d.UserType(503, "31/02/26");  // no such day: refused, nothing lost
    d.UserPress(1);
    d.UserType(503, "20/12/26");
    d.UserPress(1);
  });
  browse->UserPress(qz::BROW_DEP::kCorrect);
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fecha inválida"});
  auto enc = Rows("ENC_HLIB");
  EXPECT_EQ(enc[0]["NOMBRE"], "Mora Sol\xEDs Luisa");
  EXPECT_EQ(enc[0]["ENTRADA"], std::to_string(J(2026, 12, 20)));

  ui.OnDialog("ANUL_DEP", [](qz::WDIAG& d) {
    d.UserType(501, "07/12/26");  // before the deposit: stays open
    d.UserChoose(601, "ANA MORA");
    d.UserPress(1);
    d.UserType(501, "09/12/26");
    d.UserPress(1);
  });
  browse->UserPress(qz::BROW_DEP::kAnnul);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{
                "La Fecha de Anulación debe ser superior a la Fecha de Creación del Movimiento"});
  EXPECT_EQ(Rows("ENC_HLIB")[0]["ANULADO"], "1.00");
  clock.Advance(300);
  ui.Idle();
  EXPECT_EQ(browse->Text(qz::BROW_DEP::kState),
            "Incluido en Reservación  :R1   Movimiento Nulo (08/12/26)");
}

TEST_F(DepositBrowse, AnotherWorkstationAnnullingWhileTheWindowsAreOpenHereLosesNothing) {
  auto annul_elsewhere = [&](const std::string& mov) {
    ASSERT_TRUE(qz::AnnulDeposit(nullptr, qztest::Biz(kBiz), mov, J(2026, 12, 9), "ANA"));
  };
  // The annulment window is open here when the other workstation annuls.
  browse->tree()->Click(browse->tree()->Find("02"));
  const std::string bank = browse->Selected();
  ui.OnDialog("ANUL_DEP", [&](qz::WDIAG& d) {
    d.UserChoose(601, "ANA MORA");
    d.UserType(501, "09/12/26");
    annul_elsewhere(bank);
    d.UserPress(1);
    EXPECT_FALSE(d.ended());
    d.UserPress(2);
  });
  browse->UserPress(qz::BROW_DEP::kAnnul);
  EXPECT_EQ(ui.TakeBoxTexts(),
            std::vector<std::string>{"No se puede anular un movimiento ya anulado"});
  EXPECT_EQ(Rows("ENC_LIB").size(), 2u);  // the deposit and one reversal
  EXPECT_EQ(browse->Text(qz::BROW_DEP::kState),
            "Incluido en Reservación  :R1   Movimiento Nulo (08/12/26)");
  // The guest is being corrected here when the other workstation annuls:
  // the correction keeps the annulment.
  browse->tree()->Click(browse->tree()->Find("01"));
  const std::string journal = browse->Selected();
  ui.OnDialog("COR_DEP", [&](qz::WDIAG& d) {
    d.UserType(501, "Quesada Vargas");
    annul_elsewhere(journal);
    d.UserPress(1);
  });
  browse->UserPress(qz::BROW_DEP::kCorrect);
  auto enc = Rows("ENC_HLIB");
  ASSERT_EQ(enc.size(), 2u);
  EXPECT_EQ(enc[1]["NOMBRE"], "Quesada Vargas Luisa");
  EXPECT_EQ(enc[1]["ANULADO"], "1.00");
  EXPECT_EQ(enc[1]["SALDO"], "0.00");
  EXPECT_TRUE(Rows("DET_RES8").empty());
  ExpectBalancedJournal();
}

TEST_F(DepositBrowse, ReportsGoToThePreviewAPdfAndThePrinter) {
  const std::string pdf = inst.root + "prepagos.pdf";
  ui.OnDialog("REP_DEP", [&](qz::WDIAG& d) {
    d.UserType(501, "01/12/26");
    d.UserType(502, "31/12/26");
    d.UserPress(201);
    d.UserType(503, pdf);
    d.UserPress(202);
    d.UserPress(2);
  });
  browse->UserPress(qz::BROW_DEP::kReports);
  ASSERT_EQ(ui.previews().size(), 1u);
  const std::string text = ui.previews()[0].PlainText();
  EXPECT_NE(text.find("Pre-Pagos por Moneda y Concepto"), std::string::npos);
  EXPECT_NE(text.find("Total moneda CR"), std::string::npos);
  EXPECT_NE(text.find("80,000.00"), std::string::npos);
  EXPECT_NE(text.find("Total moneda US"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(pdf));
}

TEST_F(DepositBrowse, PrepaymentsOfPendingArrivalsGroupByAgency) {
  qz::DepositReportRequest r;
  r.negocio = qztest::Biz(kBiz);
  r.kind = qz::DepositReport::kOnPending;
  r.order = qz::ReservationOrder::kAgency;
  std::string text = qz::BuildDepositReport(nullptr, r).PlainText();
  EXPECT_NE(text.find("Agencia: VIAJES SOL"), std::string::npos);
  EXPECT_NE(text.find("R1"), std::string::npos);
  EXPECT_NE(text.find("R2"), std::string::npos);
  // A single application takes the whole deposit: 160 and 200 dollars.
  EXPECT_NE(text.find("360.00"), std::string::npos) << text;
  // Once a guest is in the house the deposit moves to the other report.
  r.kind = qz::DepositReport::kOnCheckedIn;
  text = qz::BuildDepositReport(nullptr, r).PlainText();
  EXPECT_EQ(text.find("R1 "), std::string::npos);
  r.kind = qz::DepositReport::kOfTheDay;
  r.desde = J(2026, 12, 8);
  text = qz::BuildDepositReport(nullptr, r).PlainText();
  EXPECT_NE(text.find("Total CR"), std::string::npos);
  EXPECT_NE(text.find("Total US"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(DepositBrowse, MarkedMovementsArePrintedTogetherAndTheMarksFollowTheUser) {
  qz::WBLISTBOX* grid = browse->grid();
  ASSERT_EQ(grid->RowCount(), 2);
  // Without marks, the movement under the cursor.
  grid->Select(1);
  browse->UserPress(qz::BROW_DEP::kPrint);
  ASSERT_EQ(ui.printed().size(), 1u);
  EXPECT_EQ(ui.printed()[0].PlainText().find("BOLETA-78"), std::string::npos);
  // A click on the first column marks a row, "Marcar" the row under the cursor.
  ASSERT_TRUE(qz::ClickCell(*grid, 0, 0));
  EXPECT_EQ(grid->Cell(0, 0), "✓");
  EXPECT_EQ(grid->Cell(1, 0), " ");
  grid->Select(1);
  browse->UserPress(qz::BROW_DEP::kMark);
  EXPECT_EQ(grid->Cell(1, 0), "✓");
  // Switching concepts keeps the marks.
  browse->tree()->Click(browse->tree()->Find("04"));
  browse->tree()->Click(browse->tree()->root()->children.front().get());
  browse->UserPress(qz::BROW_DEP::kPrint);
  ASSERT_EQ(ui.printed().size(), 2u);
  const std::string both = ui.printed()[1].PlainText();
  EXPECT_NE(both.find("BOLETA-77"), std::string::npos);
  EXPECT_NE(both.find("BOLETA-78"), std::string::npos);
  // Unmarked again, only the current one.
  ASSERT_TRUE(qz::ClickCell(*grid, 0, 0));
  ASSERT_TRUE(qz::ClickCell(*grid, 1, 0));
  EXPECT_EQ(grid->Cell(1, 0), " ");
  browse->UserPress(qz::BROW_DEP::kPrint);
  ASSERT_EQ(ui.printed().size(), 3u);
  EXPECT_EQ(ui.printed()[2].PlainText().find("BOLETA-78"), std::string::npos);
  EXPECT_NE(ui.printed()[2].PlainText().find("BOLETA-77"), std::string::npos);
}

}  // namespace
