// The batch posting of a sales box at its closing: the journal entries per
// date, the inventory consumption of the recipes, the documents marked
// processed once, and closings that are all or nothing (a problem, a lock
// that gives up, a process killed midway, another workstation).
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "cash/sales/sales_posting.h"
#include "recovery.h"
#include "sales_fixture.h"
#include "support/scripted_boxes.h"

namespace qztest {
namespace {

constexpr const char* kDone = "Caja cerrada con Éxito";

TEST_F(SalesTest, TheClosingPostsOneEntryPerDateWithSalesTaxesDiscountsPaymentsAndReceivables) {
  CloseFromWindow();
  EXPECT_EQ(ui.TakeBoxTexts().back(), kDone);
  EXPECT_EQ(Field("VCAJAS", 1, "ESTADO"), "C");
  EXPECT_FALSE(qz::CAJA_ABIERTA());
  EXPECT_EQ(Pending(), "00010");  // V2's document and the one posted before stay as they were

  auto entries = Rows("ENC_ASIE");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0]["MODULO"], "02");
  EXPECT_EQ(entries[0]["FECHA"], std::to_string(xb::JulianFromYmd(2026, 12, 8)));
  EXPECT_EQ(entries[1]["FECHA"], std::to_string(xb::JulianFromYmd(2026, 12, 9)));
  EXPECT_EQ(entries[0]["DOCUMEN"], "F001");
  EXPECT_EQ(entries[0]["DESCRIP"], "Ventas de la caja V1 del 08/12/26 (2 documentos)");
  EXPECT_NE(entries[0]["NUMERO"], entries[1]["NUMERO"]);

  auto lines = Rows("DET_ASIE");
  ExpectBalanced(lines);
  // Dollars at the sales' rate type (2: 510), not at the first rate (500).
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "4210"), -2000);          // coffee: its sub-line's account
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "4100"), -40 * 510 - 8000);  // dinners: the line's
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "2130"), -(260 + 5.2 * 510));
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "4190"), 100);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1101"), 2160);            // the posted 999 is left out
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1105"), 30 * 510);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1210"), 10.2 * 510 + 5 * 510);  // the client's account
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1201"), 8000);            // no client: the parameters'
  for (auto& m : Rows("ENC_MOVE")) EXPECT_EQ(m["NO_PROCESA"], "0.00") << m["CODIGO"];

  // A second closing finds nothing left to post.
  ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), sales, kBiz, "V1", "0001"),
            qz::BoxChange::kDone);
  qz::SalesClosing again = qz::CloseSalesBox(kBiz, "V1", true);
  EXPECT_EQ(again.box, qz::BoxChange::kDone);
  EXPECT_EQ(again.documents, 0);
  EXPECT_EQ(Rows("ENC_ASIE").size(), 2u);
}

TEST_F(SalesTest, TheRecipesAreConsumedPerDocumentOrOnceForTheRun) {
  qz::SalesClosing r = qz::CloseSalesBox(kBiz, "V1", true);
  ASSERT_EQ(r.inventory.size(), 3u);
  auto docs = Rows("ENC_INV");
  ASSERT_EQ(docs.size(), 3u);
  EXPECT_EQ(docs[0]["CODIGO"], "701");
  EXPECT_EQ(docs[0]["TIPO"], "CV");
  EXPECT_EQ(docs[0]["DOCUMEN"], "F001");
  EXPECT_EQ(docs[0]["FECHA"], std::to_string(xb::JulianFromYmd(2026, 12, 8)));
  std::vector<std::string> lines;
  for (auto& l : Rows("DET_INV"))
    lines.push_back(l["CODIGO"] + " " + l["BODEGA"] + " " + l["ARTICULO"] + " " + l["CANTIDAD"]);
  // The coffee's components from the bar (its area names no warehouse), the
  // terrace's dinner from the terrace, the other dinner from the kitchen.
  EXPECT_EQ(lines, (std::vector<std::string>{"701 BAR GRANO 0.04", "701 BAR LECHE 0.20",
                                             "702 TERR CENA 1.00", "703 COCI CENA 1.00"}));

  // MOV_X_DIA 1: one document for the whole run, dated on the run's day.
  Set("F_VENTAS", 1, "MOV_X_DIA", N(1));
  Document("F006", 9, "11:00:00", "01", "", "", 1, "V1");
  Line("F006", "CENA", 2, 8000, 0, 0);
  Document("F007", 9, "12:00:00", "01", "", "TERR", 1, "V1");
  Line("F007", "CAFE", 1, 1000, 0, 0);
  Line("F007", "CENA", 1, 8000, 0, 0);
  ASSERT_EQ(qz::OpenCashBox(qz::ProcessCashBoxes(), sales, kBiz, "V1", "0001"),
            qz::BoxChange::kDone);
  r = qz::CloseSalesBox(kBiz, "V1", true);
  EXPECT_EQ(r.documents, 2);
  ASSERT_EQ(r.inventory.size(), 1u);
  auto run = Rows("ENC_INV").back();
  EXPECT_EQ(run["DOCUMEN"], "");
  EXPECT_EQ(run["FECHA"], std::to_string(xb::JulianFromYmd(2026, 12, 9)));
  lines.clear();
  for (auto& l : Rows("DET_INV"))
    if (l["CODIGO"] == run["CODIGO"])
      lines.push_back(l["BODEGA"] + " " + l["ARTICULO"] + " " + l["CANTIDAD"]);
  EXPECT_EQ(lines, (std::vector<std::string>{"COCI CENA 2.00", "TERR CENA 1.00",
                                             "TERR GRANO 0.02", "TERR LECHE 0.10"}));
}

TEST_F(SalesTest, AProblemKeepsTheBoxOpenUntilMendedOrClosedWithoutPosting) {
  Document("F006", 9, "11:00:00", "03", "", "", 1, "V1");  // a currency without a rate
  Line("F006", "CENA", 1, 50, 0, 0);
  qz::CashBoxWindow* w = CloseFromWindow();
  EXPECT_EQ(ui.TakeBoxTexts().back(),
            "No se pueden contabilizar las ventas de la caja:\rNo hay tipo de cambio de 03 a 01 "
            "para contabilizar las ventas.\rLa caja no fue cerrada.");
  EXPECT_EQ(Field("VCAJAS", 1, "ESTADO"), "A");
  EXPECT_EQ(Pending(), "111101");
  EXPECT_TRUE(Rows("ENC_ASIE").empty());
  EXPECT_DOUBLE_EQ(Number("SERIALES", 2, "NUMERO"), 700);

  // Unticked, the box closes and its documents wait for the next closing.
  w->SetCheck(qz::CashBoxWindow::kPostSales, 0);
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts().back(), kDone);
  EXPECT_EQ(Field("VCAJAS", 1, "ESTADO"), "C");
  EXPECT_EQ(Pending(), "111101");
  EXPECT_TRUE(Rows("ENC_ASIE").empty());
}

TEST_F(SalesTest, AnAccountMissingStopsThePostingNamingWhatToMend) {
  Set("SUBLINEA", 2, "CUENTA", C(""));
  Set("LINEAS", 2, "CUENTA", C(""));
  EXPECT_EQ(qz::SalesPostingProblem(kBiz, "V1"),
            "El artículo CAFE no tiene cuenta de ventas (sublínea o línea).");
  Set("LINEAS", 2, "CUENTA", C("4200"));
  EXPECT_EQ(qz::SalesPostingProblem(kBiz, "V1"), "");
  Set("TIPO_MOV", 2, "CUENTA", C(""));
  EXPECT_EQ(qz::SalesPostingProblem(kBiz, "V1"),
            "El tipo de movimiento TC no tiene cuenta contable.");
}

TEST_F(SalesTest, ALockThatGivesUpMidwayLeavesTheBoxOpenAndEveryDocumentPending) {
  ScriptedErrorDialog errors;
  // Another workstation holds the inventory lines: the consumption cannot
  // be written once the documents are marked and the entries posted.
  auto holder = Other("DET_INV");
  ASSERT_TRUE(holder->LockFile().ok());
  qz::CashBoxWindow* w = CloseFromWindow();
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_EQ(ui.TakeBoxTexts().back(),
            "No se completó el cierre ni la contabilización de las ventas; no se registró nada "
            "y la caja sigue abierta.");
  EXPECT_EQ(Field("VCAJAS", 1, "ESTADO"), "A");
  EXPECT_TRUE(qz::Trim(Field("DET_VCAJ", 1, "HORA_FIN")).empty());
  EXPECT_EQ(Pending(), "11110");
  EXPECT_TRUE(Rows("ENC_ASIE").empty());
  EXPECT_TRUE(Rows("ENC_INV").empty());
  std::string moves;
  for (auto& m : Rows("ENC_MOVE")) moves += m["NO_PROCESA"].substr(0, 1);
  EXPECT_EQ(moves, "101");  // the second was posted by an earlier run
  EXPECT_TRUE(qz::CAJA_ABIERTA());  // still held here: it is still open

  holder.reset();
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts().back(), kDone);
  EXPECT_EQ(Pending(), "00010");
  EXPECT_EQ(Rows("ENC_ASIE").size(), 2u);
  EXPECT_EQ(Rows("ENC_INV").size(), 3u);
}

TEST_F(SalesTest, ADocumentLineHeldByAnotherWorkstationStopsTheWholeClosing) {
  ScriptedErrorDialog errors;
  // Another workstation is editing the dinner line of F002.
  auto holder = Other("DET_DOC");
  ASSERT_TRUE(holder->LockRecord(2).ok());
  qz::CashBoxWindow* w = CloseFromWindow();
  ASSERT_EQ(errors.lines.size(), 1u);
  EXPECT_NE(errors.lines[0].find("DET_DOC"), std::string::npos) << errors.lines[0];
  EXPECT_EQ(ui.TakeBoxTexts().back(),
            "No se completó el cierre ni la contabilización de las ventas; no se registró nada "
            "y la caja sigue abierta.");
  EXPECT_EQ(Field("VCAJAS", 1, "ESTADO"), "A");
  EXPECT_EQ(Pending(), "11110");
  EXPECT_TRUE(Rows("ENC_ASIE").empty());
  EXPECT_TRUE(Rows("ENC_INV").empty());
  EXPECT_TRUE(qz::CAJA_ABIERTA());

  // Once it is let go, the closing posts, and the lines it read are its
  // own no more: another workstation may lock them again.
  holder.reset();
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts().back(), kDone);
  EXPECT_EQ(Pending(), "00010");
  auto again = Other("DET_DOC");
  EXPECT_TRUE(again->LockRecord(2).ok());
}

TEST_F(SalesTest, AnAnnulledSaleIsMarkedProcessedButNothingOfItIsPosted) {
  Document("F006", 8, "18:00:00", "01", "", "SALO", 1, "V1");
  Line("F006", "CENA", 1, 7777, 0, 0);
  Set("DOCUMENT", 6, "ANULADO", N(1));
  qz::SalesClosing r = qz::CloseSalesBox(kBiz, "V1", true);
  EXPECT_EQ(r.box, qz::BoxChange::kDone);
  EXPECT_EQ(r.documents, 3);
  EXPECT_EQ(Pending(), "000100");  // it waits for no later closing
  auto lines = Rows("DET_ASIE");
  ExpectBalanced(lines);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "4100"), -40 * 510 - 8000);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1201"), 8000);
  EXPECT_EQ(Rows("ENC_INV").size(), 3u);
}

TEST_F(SalesTest, ABoxHeldAtAnotherWorkstationIsClosedHereOnlyOnceReattached) {
  // The bar's box is open at another workstation; this one holds V1.
  Set("VCAJAS", 2, "ESTADO", C("A"));
  AddRows(bases, "DET_VCAJ", {{{"NEGOCIO", C(Biz(kBiz))}, {"CAJA", C("V2")},
                               {"FECHA_INI", D(2026, 12, 8)}, {"HORA_INI", C("08:00:00")},
                               {"AGENTE", C("0001")}}});
  qz::ProcessCashBoxes().Hold(sales, "V1", "CAJA RESTAURANTE", "0001", "ANA MORA", true);
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_TRUE(w->SelectBox("V2"));
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts().back(),
            "Esta caja no es la abierta en esta estación.\rDebe Reabrir la Caja para cerrarla.");
  EXPECT_EQ(Field("VCAJAS", 2, "ESTADO"), "A");
  EXPECT_EQ(Pending(), "11110");
  EXPECT_TRUE(desktop.Alive(w));

  // Re-attached here with its passwords, it closes and posts its sales.
  ui.OnDialog("ABRE_VCAJA", [](qz::WDIAG& d) {
    EXPECT_TRUE(d.UserChoose(602, "ANA MORA"));
    d.UserType(503, "ANA");
    d.UserType(502, "BAR");
    d.UserPress(1);
  });
  ui.Press(w, qz::CashBoxWindow::kReattach);
  EXPECT_EQ(qz::GET_CAJA_ABIERTA(), "V2");
  w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_TRUE(w->SelectBox("V2"));
  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts().back(), kDone);
  EXPECT_EQ(Field("VCAJAS", 2, "ESTADO"), "C");
  EXPECT_EQ(Pending(), "11100");
}

// A clock whose first sleep lets `on_first_sleep` run: what another
// workstation does while this one waits for its lock.
class WaitingClock : public FakeClock {
 public:
  void SleepMs(int64_t ms) override {
    FakeClock::SleepMs(ms);
    if (auto f = std::move(on_first_sleep)) {
      on_first_sleep = nullptr;
      f();
    }
  }
  std::function<void()> on_first_sleep;
};

class SalesWaitTest : public SalesTest {
 protected:
  // Closes V1 with its posting while another workstation holds record
  // `recno` of `table`, writes `changes` into it and lets go once the
  // closing has started waiting for it.
  void CloseWhileAnotherChanges(const std::string& table, uint32_t recno, const Row& changes) {
    WaitingClock waiting;
    waiting.SetNow({2026, 12, 9, 22, 0, 0, 0});
    auto holder = Other(table);
    ASSERT_TRUE(holder->LockRecord(recno).ok());
    waiting.on_first_sleep = [&] {
      EXPECT_TRUE(holder->GoTo(recno).ok());
      for (const auto& [field, value] : changes) EXPECT_TRUE(holder->Put(field, value).ok());
      EXPECT_TRUE(holder->Flush().ok());
      holder->UnlockAll();
    };
    qz::SalesClosing r = qz::CloseSalesBox(kBiz, "V1", true);
    EXPECT_FALSE(waiting.on_first_sleep);  // it did wait
    EXPECT_EQ(r.box, qz::BoxChange::kDone);
    EXPECT_EQ(r.documents, 3);
  }
};

TEST_F(SalesWaitTest, ALineChangedWhileTheClosingWaitsForItIsPostedAsChanged) {
  // The sales screen elsewhere holds F003's line and raises its price.
  CloseWhileAnotherChanges("DET_DOC", 3, {{"PRECIO", N(9000)}, {"MONTO", N(9000)}});
  auto lines = Rows("DET_ASIE");
  ExpectBalanced(lines);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "4100"), -40 * 510 - 9000);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1201"), 9000);
}

TEST_F(SalesWaitTest, APaymentChangedWhileTheClosingWaitsForItIsPostedAsChanged) {
  // The cash payment of F001 is corrected elsewhere.
  CloseWhileAnotherChanges("ENC_MOVE", 1, {{"MONTO", N(2000)}});
  auto lines = Rows("DET_ASIE");
  ExpectBalanced(lines);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1101"), 2000);
  EXPECT_DOUBLE_EQ(JournalNetOf(lines, "1201"), 160 + 8000);  // what F001 still owes
}

TEST_F(SalesTest, AProcessKilledMidwayLeavesNothingAndTheRetryPostsEachDocumentOnce) {
  qz::SetClock(nullptr);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Dies right after the first journal entry is written.
    qz::CloseSalesBox(kBiz, "V1", true, [] { _exit(7); });
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  qz::SetClock(&clock);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 7);

  // The program's next start rolls the dead transaction back.
  EXPECT_TRUE(RecoverAsAtStart().empty());
  EXPECT_EQ(Field("VCAJAS", 1, "ESTADO"), "A");
  EXPECT_EQ(Pending(), "11110");
  EXPECT_TRUE(Rows("ENC_ASIE").empty());
  qz::SalesClosing r = qz::CloseSalesBox(kBiz, "V1", true);
  EXPECT_EQ(r.box, qz::BoxChange::kDone);
  EXPECT_EQ(r.documents, 3);
  EXPECT_EQ(Pending(), "00010");
  EXPECT_EQ(Rows("ENC_ASIE").size(), 2u);
  EXPECT_EQ(Rows("ENC_INV").size(), 3u);
  ExpectBalanced(Rows("DET_ASIE"));
  EXPECT_DOUBLE_EQ(JournalNetOf(Rows("DET_ASIE"), "1101"), 2160);
}

TEST_F(SalesTest, ABoxClosedByAnotherWorkstationIsNotClosedNorPostedAgain) {
  // This workstation holds V1 with its window open; another one closes it
  // (and posts its sales) meanwhile.
  qz::ProcessCashBoxes().Hold(sales, "V1", "CAJA RESTAURANTE", "0001", "ANA MORA", true);
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->SelectBox("V1"));
  ASSERT_EQ(qz::CloseSalesBox(kBiz, "V1", true).documents, 3);
  Document("F006", 9, "11:00:00", "01", "", "", 1, "V1");  // sold after the closing
  Line("F006", "CENA", 1, 8000, 0, 0);

  ui.Press(w, qz::CashBoxWindow::kClose);
  EXPECT_EQ(ui.TakeBoxTexts().back(), "No hay Caja Abierta...");
  EXPECT_EQ(toolbar.icon, 0);
  EXPECT_EQ(Rows("ENC_ASIE").size(), 2u);
  EXPECT_EQ(Pending(), "000101");
  EXPECT_EQ(Rows("DET_VCAJ").size(), 1u);
  // The preliminary report refuses too: the box is held here no more.
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  EXPECT_EQ(ui.TakeBoxTexts().back(), "No hay Caja Abierta...");
}

}  // namespace
}  // namespace qztest
