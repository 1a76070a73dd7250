// The average hourly cost of past payroll lines: weekly lines counting a
// quarter period each, the walk stopping at the employee's start, older
// lines paid in another currency, a payroll without its copies, and a run
// stopped half-way leaving every line as it was.
#include "lib/payroll/history_hourly_cost.h"

#include <gtest/gtest.h>

#include "history_recalc_fixture.h"
#include "support/scripted_boxes.h"

namespace qztest {
namespace {

class HourlyCostTest : public HistoryRecalcTest {
 protected:
  double Cost(const std::string& code, int32_t fecha) {
    return Num(RowOf("H_E_PERS", code, fecha), "COST_HPROM");
  }
  // Thirteen weekly payrolls (N_EMISION 4) of D1; E1 earns 100 x week.
  std::vector<int32_t> Weeks() {
    std::vector<int32_t> weeks;
    for (int i = 0; i < 13; ++i) {
      weeks.push_back(Date(2026, 1, 7) + 7 * i);
      Payroll("D1", weeks.back(), {"01"}, 4);
      Line("D1", weeks.back(), "E1", 100 * (i + 1));
    }
    return weeks;
  }
};

TEST(PeriodShare, OneOverTheEmissionsInCentsAndAWholePeriodWithoutThem) {
  EXPECT_EQ(qz::PeriodShare(4), 0.25);
  EXPECT_EQ(qz::PeriodShare(2), 0.5);
  EXPECT_EQ(qz::PeriodShare(3), 0.33);
  EXPECT_EQ(qz::PeriodShare(0), 1);
}

TEST_F(HourlyCostTest, WeeklyLinesCountAQuarterSoThreePeriodsAverageTwelveLines) {
  const std::vector<int32_t> weeks = Weeks();
  auto r = qz::RecalcAverageHourlyCost(Request());
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.lines, 13);
  EXPECT_EQ(r.written, 13);
  // Week 13: weeks 13 down to 2, 9,000 over 3 months, a week's share of
  // that / 30 / 8.
  EXPECT_NEAR(Cost("E1", weeks[12]), 9000.0 / 3 * 0.25 / 30 / 8, 1e-5);
  EXPECT_NEAR(Cost("E1", weeks[12]), 750.0 / 240, 1e-5);
  // Week 5 has only five lines behind it: 1,500 over 1.25 months.
  EXPECT_NEAR(Cost("E1", weeks[4]), 300.0 / 240, 1e-5);
  // Lines after the one recomputed are passed over.
  EXPECT_NEAR(Cost("E1", weeks[0]), 100.0 / 240, 1e-5);
  // Nothing changes the second time: nothing is written.
  EXPECT_EQ(qz::RecalcAverageHourlyCost(Request()).written, 0);
}

TEST_F(HourlyCostTest, TheWalkStopsBeforeTheEmployeesStartAndConvertsOlderCurrencies) {
  const int32_t jan = Date(2026, 1, 31), feb = Date(2026, 2, 28), mar = Date(2026, 3, 31),
                apr = Date(2026, 4, 30);
  // January was paid in dollars in another department.
  Payroll("D2", jan, {"01"}, 1, "US");
  Line("D2", jan, "E1", 2);
  for (int32_t f : {feb, mar, apr}) Payroll("D1", f, {"01"});
  Line("D1", feb, "E1", 600);
  Line("D1", mar, "E1", 900);
  Line("D1", apr, "E1", 1200);
  // E2 started on 01/03: February's line belongs to an earlier contract.
  Line("D1", feb, "E2", 5000, Date(2026, 3, 1));
  Line("D1", mar, "E2", 300, Date(2026, 3, 1));
  Line("D1", apr, "E2", 600, Date(2026, 3, 1));
  AddRows(bases, "T_CAMBIO", {{{"NEGOCIO", C(kCentral)}, {"MONEDA1", C("US")},
                               {"MONEDA2", C("CR")}, {"FECHA", xb::Value::Date(Date(2026, 1, 1))},
                               {"LIMITE", xb::Value::Date(Date(2090, 1, 1))},
                               {"CAMBIO", N(500)}}});
  ASSERT_TRUE(qz::RecalcAverageHourlyCost(Request()).ok());
  // April: April, March, February (SAL_PROM 3).
  EXPECT_NEAR(Cost("E1", apr), 2700.0 / 3 / 240, 1e-5);
  // March: March, February and January's 2 dollars at 500.
  EXPECT_NEAR(Cost("E1", mar), 2500.0 / 3 / 240, 1e-5);
  EXPECT_NEAR(Cost("E2", apr), 900.0 / 2 / 240, 1e-5);
  // A line before the start: no period counted, its own salary.
  EXPECT_NEAR(Cost("E2", feb), 5000.0 / 240, 1e-5);
}

TEST_F(HourlyCostTest, ALineWithoutItsScheduleCopyCostsZero) {
  const int32_t jan = Date(2026, 1, 31);
  Payroll("D1", jan, {"01"});
  Line("D1", jan, "E1", 2400);
  AddRows(bases, "H_E_PERS", {{{"NEGOCIO", C(kCentral)}, {"DEPTO", C("D1")}, {"CODIGO", C("E2")},
                               {"COD_TIEMPO", C("99")}, {"TOT_SAL", N(2400)},
                               {"COST_HPROM", N(55)}, {"FECHA", xb::Value::Date(jan)}}});
  auto r = qz::RecalcAverageHourlyCost(Request());
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.skipped, 1);
  EXPECT_NEAR(Cost("E1", jan), 10, 1e-9);
  EXPECT_EQ(Cost("E2", jan), 0);
}

TEST_F(HourlyCostTest, ALineHeldByAnotherWorkstationTakesTheWholeRunBack) {
  const std::vector<int32_t> weeks = Weeks();
  ScriptedErrorDialog errors;  // "Ignorar"
  auto other = Hold("H_E_PERS", 9);
  auto r = qz::RecalcAverageHourlyCost(Request());
  EXPECT_EQ(r.outcome, qz::HistoryRecalcOutcome::kFailed);
  EXPECT_EQ(errors.lines.size(), 1u);
  for (int32_t w : weeks) EXPECT_EQ(Cost("E1", w), 0);
  other->UnlockAll();
  ASSERT_TRUE(qz::RecalcAverageHourlyCost(Request()).ok());
  EXPECT_NEAR(Cost("E1", weeks[12]), 750.0 / 240, 1e-5);
}

TEST_F(HourlyCostTest, OnlyThePayrollsInTheRangeAreWritten) {
  const std::vector<int32_t> weeks = Weeks();
  auto r = qz::RecalcAverageHourlyCost(Request(0, weeks[2]));
  EXPECT_EQ(r.payrolls, 3);
  EXPECT_GT(Cost("E1", weeks[2]), 0);
  EXPECT_EQ(Cost("E1", weeks[3]), 0);
  EXPECT_EQ(qz::RecalcAverageHourlyCost(Request(weeks[2], 0)).payrolls, 0);
}

}  // namespace
}  // namespace qztest
