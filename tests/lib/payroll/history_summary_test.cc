// The column summary of past payrolls: slots in payroll order, each
// employee's results, one rebuild adding nothing the second time, the date
// range, the 130-slot limit, and a run stopped half-way leaving nothing.
#include "lib/payroll/history_summary.h"

#include <gtest/gtest.h>

#include "history_recalc_fixture.h"
#include "support/scripted_boxes.h"

namespace qztest {
namespace {

class HistorySummaryTest : public HistoryRecalcTest {
 protected:
  const int32_t jan = Date(2026, 1, 31), feb = Date(2026, 2, 28), mar = Date(2026, 3, 31);

  // Three monthly payrolls of D1 with columns 01, 02, 03 in that order;
  // lines for E1 (every column, also one the payroll does not list) and E2
  // (no row for 02).
  void ThreeMonths() {
    for (int32_t f : {jan, feb, mar}) {
      Payroll("D1", f, {"01", "02", "03"});
      Line("D1", f, "E1", 1000);
      Line("D1", f, "E2", 2000);
      Value("E1", "03", f, 300);
      Value("E1", "01", f, 100);
      Value("E1", "02", f, 200);
      Value("E1", "99", f, 900);
      Value("E2", "03", f, 30);
      Value("E2", "01", f, 10);
    }
  }
};

TEST_F(HistorySummaryTest, SlotsFollowThePayrollOrderAndHoldTheFiveResults) {
  ThreeMonths();
  qz::HistoryRecalcResult r = qz::RebuildColumnSummary(Request());
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.message, "Fin de Proceso");
  EXPECT_EQ(r.payrolls, 3);
  EXPECT_EQ(r.lines, 6);
  EXPECT_EQ(r.written, 6);
  for (const char* t : {"H_D_PER4", "H_D_PER5", "H_D_PER6", "H_D_PER7", "H_D_PER8", "H_D_PER9"})
    EXPECT_EQ(Rows(t).size(), 6u) << t;

  auto cols = RowOf("H_D_PER4", "E1", feb);
  EXPECT_EQ(Text(cols, "COL_1"), "01");
  EXPECT_EQ(Text(cols, "COL_2"), "02");
  EXPECT_EQ(Text(cols, "COL_3"), "03");
  EXPECT_EQ(Text(cols, "COL_4"), "");  // 99 is no column of the payroll
  EXPECT_EQ(Num(RowOf("H_D_PER5", "E1", feb), "RESUL1_1"), 101);
  EXPECT_EQ(Num(RowOf("H_D_PER9", "E1", feb), "RESUL5_3"), 305);
  EXPECT_EQ(Num(RowOf("H_D_PER7", "E1", feb), "RESUL3_2"), 203);
  // E2 has no row for 02: its 03 moves up to slot 2.
  cols = RowOf("H_D_PER4", "E2", mar);
  EXPECT_EQ(Text(cols, "COL_1"), "01");
  EXPECT_EQ(Text(cols, "COL_2"), "03");
  EXPECT_EQ(Num(RowOf("H_D_PER6", "E2", mar), "RESUL2_2"), 32);
  EXPECT_EQ(Num(RowOf("H_D_PER6", "E2", mar), "RESUL2_3"), 0);
}

TEST_F(HistorySummaryTest, ASecondRunAddsNothingAndAnEmployeeWithASummaryIsSkippedWhole) {
  ThreeMonths();
  ASSERT_TRUE(qz::RebuildColumnSummary(Request()).ok());
  // A value changed afterwards is not taken by a rebuild: the employee of
  // that date already has a summary.
  auto again = qz::RebuildColumnSummary(Request());
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(again.written, 0);
  EXPECT_EQ(again.skipped, 6);
  for (const char* t : {"H_D_PER4", "H_D_PER5", "H_D_PER9"}) EXPECT_EQ(Rows(t).size(), 6u) << t;
  // A new payroll is summarised alone.
  const int32_t apr = Date(2026, 4, 30);
  Payroll("D1", apr, {"01"});
  Line("D1", apr, "E1", 1000);
  Value("E1", "01", apr, 7);
  auto third = qz::RebuildColumnSummary(Request());
  EXPECT_EQ(third.written, 1);
  EXPECT_EQ(Rows("H_D_PER4").size(), 7u);
  EXPECT_EQ(Num(RowOf("H_D_PER5", "E1", apr), "RESUL1_1"), 8);
}

TEST_F(HistorySummaryTest, TheRangeTakesAnEmptyDateAsEarlierThanEveryDate) {
  ThreeMonths();
  // Only "Inicio:": nothing.
  auto r = qz::RebuildColumnSummary(Request(feb, 0));
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.payrolls, 0);
  EXPECT_TRUE(Rows("H_D_PER4").empty());
  // Only "Fin :": everything up to it.
  r = qz::RebuildColumnSummary(Request(0, feb));
  EXPECT_EQ(r.payrolls, 2);
  EXPECT_EQ(Rows("H_D_PER4").size(), 4u);
  // Both: inclusive.
  r = qz::RebuildColumnSummary(Request(mar, mar));
  EXPECT_EQ(r.payrolls, 1);
  EXPECT_EQ(Rows("H_D_PER4").size(), 6u);
}

TEST_F(HistorySummaryTest, OnlyTheFirst130ColumnsAreSummarised) {
  const std::string digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::vector<std::string> columns;
  for (int i = 0; i < 135; ++i) columns.push_back({digits[i / 36], digits[i % 36]});
  Payroll("D1", jan, columns);
  Line("D1", jan, "E1", 1000);
  for (int i = 0; i < 135; ++i) Value("E1", columns[i], jan, i * 10);
  ASSERT_TRUE(qz::RebuildColumnSummary(Request()).ok());
  auto cols = RowOf("H_D_PER4", "E1", jan);
  EXPECT_EQ(Text(cols, "COL_1"), columns[0]);
  EXPECT_EQ(Text(cols, "COL_130"), columns[129]);
  EXPECT_EQ(Num(RowOf("H_D_PER8", "E1", jan), "RESUL4_130"), 1294);
}

TEST_F(HistorySummaryTest, ARowHeldByAnotherWorkstationTakesTheWholeRebuildBack) {
  ThreeMonths();
  // March's result row of E2 was left by another program without its
  // H_D_PER4 row, and another workstation holds it.
  AddRows(bases, "H_D_PER7", {{{"NEGOCIO", C(kCentral)}, {"CODIGO", C("E2")},
                               {"FECHA", xb::Value::Date(mar)}, {"RESUL3_9", N(77)}}});
  ScriptedErrorDialog errors;  // "Ignorar"
  auto other = Hold("H_D_PER7", 1);
  auto r = qz::RebuildColumnSummary(Request());
  EXPECT_EQ(r.outcome, qz::HistoryRecalcOutcome::kFailed);
  EXPECT_EQ(errors.lines.size(), 1u);
  EXPECT_TRUE(Rows("H_D_PER4").empty());
  EXPECT_TRUE(Rows("H_D_PER5").empty());
  EXPECT_EQ(Rows("H_D_PER7").size(), 1u);
  EXPECT_EQ(Rows("LOG_ROLL").size(), 1u);
  // Released, the same run goes through and takes the row over.
  other->UnlockAll();
  r = qz::RebuildColumnSummary(Request());
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(Rows("H_D_PER4").size(), 6u);
  EXPECT_EQ(Rows("H_D_PER7").size(), 6u);
  auto held = RowOf("H_D_PER7", "E2", mar);
  EXPECT_EQ(Num(held, "RESUL3_2"), 33);
  EXPECT_EQ(Num(held, "RESUL3_9"), 0);
}

TEST_F(HistorySummaryTest, ACancelledRunLeavesNothing) {
  ThreeMonths();
  auto req = Request();
  req.progress = [](const std::string&, int64_t done, int64_t) { return done < 4; };
  auto r = qz::RebuildColumnSummary(req);
  EXPECT_EQ(r.outcome, qz::HistoryRecalcOutcome::kCancelled);
  for (const char* t : {"H_D_PER4", "H_D_PER5", "H_D_PER9"}) EXPECT_TRUE(Rows(t).empty()) << t;
  EXPECT_TRUE(qz::RebuildColumnSummary(Request()).ok());
  EXPECT_EQ(Rows("H_D_PER4").size(), 6u);
}

TEST_F(HistorySummaryTest, AnotherBusinessIsLeftAlone) {
  ThreeMonths();
  auto req = Request();
  req.negocio = "OTRO HOTEL";
  auto r = qz::RebuildColumnSummary(req);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.payrolls, 0);
  EXPECT_TRUE(Rows("H_D_PER4").empty());
}

}  // namespace
}  // namespace qztest
