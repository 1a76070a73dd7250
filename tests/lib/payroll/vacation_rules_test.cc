#include "lib/payroll/vacation_rules.h"

#include <gtest/gtest.h>

#include "lib/payroll/dates.h"
#include "xbase/value.h"

namespace qz {
namespace {

int32_t J(int y, int m, int d) {
  return xb::JulianFromYmd(y, m, d);
}

TEST(Dates, ObtenerFechaClampsToTheMonth) {
  EXPECT_EQ(OBTENER_FECHA(31, 4, 2024), J(2024, 4, 30));
  EXPECT_EQ(OBTENER_FECHA(30, 2, 2023), J(2023, 2, 28));
  EXPECT_EQ(OBTENER_FECHA(29, 2, 2024), J(2024, 2, 29));
  EXPECT_EQ(OBTENER_FECHA(15, 6, 2024), J(2024, 6, 15));
  EXPECT_EQ(OBTENER_FECHA(5, 13, 2024), 0);
  EXPECT_EQ(OBTENER_FECHA(0, 1, 2024), 0);
}

TEST(Dates, CutOffIsTheEndOfThePreviousMonth) {
  EXPECT_EQ(VacationCutOff(J(2025, 1, 15)), J(2024, 12, 31));  // January reference date
  EXPECT_EQ(VacationCutOff(J(2024, 3, 1)), J(2024, 2, 29));
  EXPECT_EQ(VacationCutOff(J(2023, 3, 31)), J(2023, 2, 28));
  EXPECT_EQ(VacationCutOff(0), 0);
}

TEST(Dates, WeekdaysAndPayDays) {
  EXPECT_EQ(Weekday(J(2024, 6, 2)), 1);  // a Sunday
  EXPECT_EQ(Weekday(J(2024, 6, 8)), 7);
  EXPECT_EQ(WeekdaysInMonth(J(2024, 6, 15), 7), 5);  // June 2024 has five Saturdays
  EXPECT_EQ(WeekdaysInMonth(J(2024, 6, 15), 2), 4);
  EXPECT_EQ(WeekdaysInMonth(J(2024, 6, 15), 0), 0);
}

struct DayRuleCase {
  int32_t inicio, hasta;
  int months;
};

TEST(Dates, MonthsOfServiceWithTheDayRule) {
  const DayRuleCase cases[] = {
      {J(2023, 1, 31), J(2023, 2, 28), 1},  // 31 Jan -> 28 Feb: a full month
      {J(2024, 1, 31), J(2024, 2, 29), 1},  // leap February
      {J(2024, 1, 30), J(2024, 2, 28), 1},  // (30, 28 February) listed as full
      {J(2023, 1, 29), J(2023, 2, 28), 1},  // 29th: the month's last day reaches it too
      {J(2024, 1, 29), J(2024, 2, 28), 0},  // leap year: 28 February is not the last day
      {J(2024, 1, 31), J(2024, 4, 30), 3},  // (31, 30)
      {J(2024, 1, 15), J(2024, 3, 10), 1},  // start 15th, date 10th: one month less
      {J(2024, 1, 10), J(2024, 3, 15), 2},  {J(2024, 2, 29), J(2024, 3, 31), 1},
      {J(2024, 3, 31), J(2025, 2, 28), 11}, {0, J(2024, 3, 31), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(MonthsOfService(c.inicio, c.hasta), c.months) << c.inicio;
}

TEST(VacationService, YearsAndRemainingMonths) {
  Service s = ServiceUpTo(J(2020, 3, 1), J(2022, 7, 31));
  EXPECT_EQ(s.years, 2);
  EXPECT_DOUBLE_EQ(s.months, 4);
  // Start on the 15th, cut-off on the 10th with whole years: -1 remaining months.
  s = ServiceUpTo(J(2020, 1, 15), J(2022, 1, 10));
  EXPECT_EQ(s.years, 2);
  EXPECT_DOUBLE_EQ(s.months, -1);
}

const std::vector<VacationRow> kOneRow = {{0, 1.25, 15}};
const std::vector<VacationRow> kThreeRows = {{0, 1, 12}, {12, 1.5, 18}, {60, 2, 24}};

struct EarnedCase {
  const std::vector<VacationRow>* rows;
  Service s;
  double want;
};

TEST(VacationDaysEarned, OverOneOrSeveralRows) {
  const EarnedCase cases[] = {
      {&kOneRow, {2, 4}, 2 * 15 + 4 * 1.25},
      {&kOneRow, {2, -1}, 2 * 15 - 1.25},  // the day rule took a month off
      {&kOneRow, {0, 0}, 0},
      // A row applies from its MES on: years at the row in force when they
      // began, the remaining months at the row in force after them.
      {&kThreeRows, {0, 5}, 5 * 1},
      {&kThreeRows, {1, 5}, 12 + 5 * 1.5},
      {&kThreeRows, {2, 5}, 12 + 18 + 5 * 1.5},
      {&kThreeRows, {3, 4}, 12 + 18 + 18 + 4 * 1.5},
      {&kThreeRows, {5, 0}, 12 + 18 * 4},
      {&kThreeRows, {6, 2}, 12 + 18 * 4 + 24 + 2 * 2},
      {&kThreeRows, {0, 0}, 0},
      {&kThreeRows, {0, -1}, 0},  // never a negative day count
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(DaysEarned(*c.rows, c.s), c.want) << c.s.years << "/" << c.s.months;
  EXPECT_EQ(DaysEarned({}, Service{3, 2}), 0);
}

TEST(VacationDaysInMonth, RowByMonthsOfService) {
  int32_t start = J(2020, 1, 10);
  // 2 months of service at the end of March 2020: the first row's 1 day.
  EXPECT_DOUBLE_EQ(DaysAccruedInMonth(kThreeRows, start, J(2020, 3, 5)), 1);
  // The 13th month is the first at the 12-month row.
  EXPECT_DOUBLE_EQ(DaysAccruedInMonth(kThreeRows, start, J(2021, 1, 5)), 1);
  EXPECT_DOUBLE_EQ(DaysAccruedInMonth(kThreeRows, start, J(2021, 2, 5)), 1.5);
  // 72 months: the 60-month row.
  EXPECT_DOUBLE_EQ(DaysAccruedInMonth(kThreeRows, start, J(2026, 1, 5)), 2);
  // Before a month of service is complete: nothing.
  EXPECT_DOUBLE_EQ(DaysAccruedInMonth(kThreeRows, start, J(2020, 1, 20)), 0);
  EXPECT_DOUBLE_EQ(DaysAccruedInMonth(kOneRow, start, J(2024, 6, 1)), 1.25);
  EXPECT_DOUBLE_EQ(DaysAccruedInMonth({}, start, J(2024, 6, 1)), 0);
}

}  // namespace
}  // namespace qz
