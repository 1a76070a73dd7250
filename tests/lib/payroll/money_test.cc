#include "lib/payroll/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "xbase/value.h"

namespace qz {
namespace {

struct Round6Case {
  double x;
  int d, h;
  double want;
};

TEST(Round6, WorkedExamplesAndGrid) {
  const Round6Case cases[] = {
      {7.123, 2, 0, 7.13},
      {7.12, 2, 1, 7.15},
      {7.0, 1, 1, 7.0},
      {7.2, 0, 0, 8},
      {7.0, 0, 0, 7},
      {7.5, 1, 1, 7.5},
      {7.2, 1, 1, 7.5},
      {7.6, 1, 1, 8},
      {7.13, 2, 0, 7.13},
      {7.15, 2, 1, 7.15},
      {7.151, 2, 1, 7.2},
      {7.01, 1, 0, 7.1},
      {416.666666, 2, 0, 416.67},
      {416.666666, 2, 1, 416.7},
      {0.0004, 3, 1, 0.005},
      // The fraction is looked at with 2d+1 decimals: finer digits never move it...
      {7.120004, 2, 0, 7.12},
      // ...but a fifth decimal the old arithmetic left behind goes onto the grid.
      {7.1205, 2, 0, 7.13},
      {7.12345, 2, 0, 7.13},
      // Negative amounts round towards +infinity as well.
      {-7.123, 2, 0, -7.12},
      {-7.2, 0, 0, -7},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(ROUND6(c.x, c.d, c.h), c.want) << c.x << " d=" << c.d << " h=" << c.h;
}

TEST(Round6, ValuesOnTheGridStoredInexactlyStay) {
  // 7.1 + 0.03 is 7.129999... or 7.130000...1 in binary; either way it is 7.13.
  EXPECT_DOUBLE_EQ(ROUND6(7.1 + 0.03, 2, 0), 7.13);
  EXPECT_DOUBLE_EQ(ROUND6(0.1 + 0.2, 1, 0), 0.3);
  EXPECT_DOUBLE_EQ(ROUND6(1.1 + 0.05, 2, 1), 1.15);
  EXPECT_DOUBLE_EQ(ROUND6(3 * 1.1, 1, 0), 3.3);
  EXPECT_DOUBLE_EQ(ROUND6(100000.0 / 3 * 3, 0, 0), 100000);
  // Sums of many cents keep their value.
  double s = 0;
  for (int i = 0; i < 1000; ++i) s += 0.07;
  EXPECT_DOUBLE_EQ(ROUND6(s, 2, 0), 70.0);
}

TEST(Round6, NonFiniteAndOutOfRangeDecimals) {
  EXPECT_EQ(ROUND6(std::numeric_limits<double>::quiet_NaN(), 2, 0), 0);
  EXPECT_EQ(ROUND6(std::numeric_limits<double>::infinity(), 2, 0), 0);
  EXPECT_DOUBLE_EQ(ROUND6(7.2, -3, 0), 8);
  EXPECT_TRUE(std::isfinite(ROUND6(1e12 + 0.123, 9, 0)));
}

TEST(RoundHalfAway, HalvesStoredBelowTheirValueRoundUp) {
  EXPECT_DOUBLE_EQ(RoundHalfAway(1.005, 2), 1.01);  // 1.00499999999999989...
  EXPECT_DOUBLE_EQ(RoundHalfAway(2.675, 2), 2.68);
  EXPECT_DOUBLE_EQ(RoundHalfAway(-2.675, 2), -2.68);
  EXPECT_DOUBLE_EQ(RoundHalfAway(1.0049, 2), 1.0);
  EXPECT_DOUBLE_EQ(RoundHalfAway(0.125, 2), 0.13);
  EXPECT_DOUBLE_EQ(ROUND5(1234.565), 1234.57);
  EXPECT_DOUBLE_EQ(ROUND5(1234.5649), 1234.56);
  EXPECT_EQ(ROUND5(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(CostRounding, AppliesRound6OnlyWhenSwitchedOn) {
  CostRounding off;
  EXPECT_DOUBLE_EQ(off(416.666666), 416.666666);
  CostRounding cents{1, 2, 0}, fives{1, 2, 1};
  EXPECT_DOUBLE_EQ(cents(416.666666), 416.67);
  EXPECT_DOUBLE_EQ(fives(416.666666), 416.70);
}

TEST(HourlyCostFactor, BaseOverDivisorsTimesMultiplier) {
  CostRounding none, cents{1, 2, 0};
  EXPECT_DOUBLE_EQ(HourlyCostFactor(300000, 30, 8, 1.5, none), 1875);
  EXPECT_DOUBLE_EQ(HourlyCostFactor(100000, 30, 8, 2, cents), 416.67 * 2);
  // Zero divisors give factor 0 instead of infinity.
  EXPECT_EQ(HourlyCostFactor(100000, 0, 8, 1, none), 0);
  EXPECT_EQ(HourlyCostFactor(100000, 30, 0, 1, none), 0);
  EXPECT_EQ(HourlyCostFactor(std::numeric_limits<double>::infinity(), 30, 8, 1, none), 0);
}

TEST(CalcMontoPrestamo, AnnuityPrincipal) {
  EXPECT_DOUBLE_EQ(CALC_MONTO_PRESTAMO(100, 0, 12), 1200);
  EXPECT_NEAR(CALC_MONTO_PRESTAMO(1000, 12, 12), 11255.08, 0.005);
  EXPECT_EQ(CALC_MONTO_PRESTAMO(1000, 12, 0), 0);
  EXPECT_EQ(CALC_MONTO_PRESTAMO(1000, -1200, 12), 0);  // 1 + i = 0
}

TEST(NumInverso, NewerSortsFirst) {
  int32_t d = xb::JulianFromYmd(2089, 12, 31);
  EXPECT_EQ(NUM_INVERSO(d, "10:20:30"), "         1        14        40        30");
  int32_t a = xb::JulianFromYmd(2024, 5, 1);
  EXPECT_LT(NUM_INVERSO(a + 1, "08:00:00"), NUM_INVERSO(a, "23:59:59"));
  EXPECT_LT(NUM_INVERSO(a, "08:00:01"), NUM_INVERSO(a, "08:00:00"));
  EXPECT_EQ(NUM_INVERSO(a, "").size(), 40u);
}

TEST(IsValCed, LettersAndDigitsOfMinimumLength) {
  EXPECT_TRUE(IS_VAL_CED("102340567", 9));
  EXPECT_TRUE(IS_VAL_CED("  AB12cd  ", 6));
  EXPECT_FALSE(IS_VAL_CED("1-0234-0567", 9));  // hyphens between the groups
  EXPECT_FALSE(IS_VAL_CED("1 0234 0567", 9));
  EXPECT_FALSE(IS_VAL_CED("12345", 9));
  EXPECT_FALSE(IS_VAL_CED("    ", 0));
  EXPECT_FALSE(IS_VAL_CED("", 0));
}

TEST(DifMeses, CountsMonthChanges) {
  auto j = xb::JulianFromYmd;
  EXPECT_EQ(DIF_MESES(j(2024, 1, 31), j(2024, 2, 1)), 1);
  EXPECT_EQ(DIF_MESES(j(2024, 1, 1), j(2024, 1, 31)), 0);
  EXPECT_EQ(DIF_MESES(j(2023, 12, 15), j(2024, 1, 2)), 1);
  EXPECT_EQ(DIF_MESES(j(2022, 3, 10), j(2024, 3, 9)), 24);
  EXPECT_EQ(DIF_MESES(j(2024, 3, 1), j(2024, 1, 1)), 0);
  EXPECT_EQ(DIF_MESES(0, j(2024, 1, 1)), 0);
}

}  // namespace
}  // namespace qz
