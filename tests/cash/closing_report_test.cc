// The hotel's closing report: its period, what it counts, and totals that
// never add different currencies.
#include "cash/cash_window.h"
#include "cash/closing_report.h"
#include "hotel_fixture.h"

namespace qztest {
namespace {

class ClosingReportTest : public HotelCashTest {
 protected:
  void SetUp() override {
    HotelCashTest::SetUp();
    OpenBox01();
    Payment("100", "EF", "08:00:00", 10000, "01", 10000);
    Payment("101", "EF", "09:00:00", 20, "02", 20);
    Payment("101", "PR", "09:10:00", 4, "02", 4);  // tips: not collected by the box
    Payment("100", "SO", "09:20:00", 999, "01", 999);  // a code that is no deposit
    clock.SetNow({2026, 12, 8, 12, 0, 0, 0});
  }
  qz::PrintDocument Report(const qz::HotelReportOptions& o) {
    auto box = qz::ReadBoxHeader(hotel, kBiz, "01");
    auto shift = qz::FindOpenShift(hotel, kBiz, "01");
    return qz::HotelClosingReport(kBiz, *box, qz::PeriodOf(*shift), o);
  }
  // The lines of the document that contain `text`, trimmed at the left.
  static std::vector<std::string> Lines(const qz::PrintDocument& doc, const std::string& text) {
    std::vector<std::string> out;
    for (int p = 0; p < static_cast<int>(doc.pages.size()); ++p)
      for (const std::string& l : doc.PageLines(p))
        if (l.find(text) != std::string::npos) out.push_back(qz::Trim(l));
    return out;
  }
  static std::string Squeeze(std::string s) {
    std::string out;
    for (char c : s)
      if (c != ' ' || (!out.empty() && out.back() != ' ')) out += c;
    return out;
  }
};

TEST_F(ClosingReportTest, ThePreliminaryReportCoversTheDayUpToMidnight) {
  qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kHotelToolbar, 1, kBiz);
  ui.OnDialog("HP_CIERRE", [](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(503), "07:00:00");
    EXPECT_EQ(d.Text(505), "23:59:59");
    const qz::ControlState* currency = d.Control(601);
    EXPECT_EQ(currency->entries[currency->current].text, "Ninguna");
    d.UserPress(1);
    d.UserPress(2);
  });
  ui.Press(w, qz::CashBoxWindow::kPreliminary);
  ASSERT_EQ(ui.previews().size(), 1u);
  const qz::PrintDocument& doc = ui.previews()[0];
  EXPECT_EQ(doc.title, "Cierre de Caja");
  EXPECT_EQ(doc.titles, (std::vector<std::string>{
                            "CIERRE DE CAJA", "Caja: 01 CAJA RECEPCION",
                            "Entre: 08/12/26 07:00:00  y 08/12/26 23:59:59", "Preliminar"}));
}

TEST_F(ClosingReportTest, EachCurrencyKeepsItsOwnTotalsAndTipsAreNotCollected) {
  qz::PrintDocument doc = Report({});
  EXPECT_EQ(Lines(doc, "FALTANTE").size(), 0u);
  EXPECT_EQ(Lines(doc, "SOBRANTE").size(), 0u);  // not a deposit code
  auto grand = Lines(doc, "***Gran Total: ");
  ASSERT_EQ(grand.size(), 1u);
  EXPECT_EQ(Squeeze(grand[0]), "***Gran Total: C 10,000.00");
  EXPECT_EQ(Lines(doc, "24.00").size(), 1u);  // the dollars' grand total, a line of its own
  auto collected = Lines(doc, "Recaudado");
  ASSERT_EQ(collected.size(), 1u);
  EXPECT_EQ(Squeeze(collected[0]), "***Gran Total Recaudado: C 10,000.00");
  EXPECT_EQ(Lines(doc, "20.00").size(), 3u);  // the line, its code's total, the collected dollars
  auto detail = Lines(doc, "REF-08");
  ASSERT_EQ(detail.size(), 1u);
  EXPECT_EQ(Squeeze(detail[0]), "08/12/26 08:00:00 100 204 REF-08 C 10,000.00");
}

TEST_F(ClosingReportTest, AReportCurrencyConvertsEveryLineAtTheRateOfItsDay) {
  qz::HotelReportOptions o;
  o.currency = "01";
  o.summary = true;
  qz::PrintDocument doc = Report(o);
  EXPECT_EQ(Squeeze(Lines(doc, "***Gran Total: ")[0]), "***Gran Total: 22,000.00");
  EXPECT_EQ(Squeeze(Lines(doc, "***G.Tot. Recaudado:")[0]), "***G.Tot. Recaudado: 20,000.00");
  EXPECT_EQ(Squeeze(Lines(doc, "EF: EFECTIVO")[0]), "EF: EFECTIVO 20,000.00");
}

TEST_F(ClosingReportTest, LinesOfOneFolioGroupMergeIntoOne) {
  Payment("100", "EF", "10:00:00", 1, "01", 1, "G1");
  Payment("100", "EF", "10:05:00", 2, "01", 2, "G1");
  qz::HotelReportOptions o;
  o.merge_groups = true;
  qz::PrintDocument doc = Report(o);
  auto merged = Lines(doc, "REF-10");
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_NE(merged[0].find("3.00"), std::string::npos);
}

TEST_F(ClosingReportTest, ABoxControlledByFolioListsEachFolioWithItsOwnTotal) {
  auto box = qz::ReadBoxHeader(hotel, kBiz, "01");
  auto shift = qz::FindOpenShift(hotel, kBiz, "01");
  box->t_control = 1;
  qz::PrintDocument doc = qz::HotelClosingReport(kBiz, *box, qz::PeriodOf(*shift), {});
  auto headings = Lines(doc, "Folio: ");
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(Squeeze(headings[0]), "Folio: 100 Room: 204");
  EXPECT_EQ(Squeeze(headings[1]), "Folio: 101 Room: 204");
  // Each line names its transaction; tips stay out of the collected total.
  auto tip = Lines(doc, "REF-09");
  ASSERT_EQ(tip.size(), 2u);
  EXPECT_NE(tip[1].find("PR "), std::string::npos);
  EXPECT_EQ(Squeeze(Lines(doc, "***Total Folio 100")[0]), "***Total Folio 100 C 10,000.00");
  EXPECT_EQ(Squeeze(Lines(doc, "***Total Folio 101")[0]), "***Total Folio 101 $ 24.00");
  EXPECT_EQ(Squeeze(Lines(doc, "***Gran Total Recaudado:")[0]),
            "***Gran Total Recaudado: C 10,000.00");
  // The summary: one line per folio.
  qz::HotelReportOptions o;
  o.summary = true;
  doc = qz::HotelClosingReport(kBiz, *box, qz::PeriodOf(*shift), o);
  EXPECT_EQ(Lines(doc, "REF-").size(), 0u);
  EXPECT_EQ(Squeeze(Lines(doc, "Folio: 100")[0]), "Folio: 100 Room: 204 C 10,000.00");
}

TEST_F(ClosingReportTest, TheFinalReportFollowsTheClosing) {
  Payment("100", "EF", "13:00:00", 5, "01", 5);  // after the closing below
  clock.SetNow({2026, 12, 8, 12, 30, 0, 0});
  ASSERT_EQ(qz::CloseBoxRecords(hotel, kBiz, "01", true), qz::BoxChange::kDone);
  auto box = qz::ReadBoxHeader(hotel, kBiz, "01");
  auto shift = qz::FindShift(hotel, 1);
  qz::PrintDocument doc = qz::HotelClosingReport(kBiz, *box, qz::PeriodOf(*shift), {});
  EXPECT_EQ(doc.titles[2], "Entre: 08/12/26 07:00:00  y 08/12/26 12:30:00");
  EXPECT_EQ(doc.titles[3], "Cierre Final");
  EXPECT_EQ(Squeeze(Lines(doc, "***Gran Total Recaudado")[0]),
            "***Gran Total Recaudado: C 10,000.00");
}

}  // namespace
}  // namespace qztest
