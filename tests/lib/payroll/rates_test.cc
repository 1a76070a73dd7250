#include "lib/payroll/rates.h"

#include <gtest/gtest.h>

#include "lib/payroll/catalog_tables.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace qz {
namespace {

using qztest::C;
using qztest::D;
using qztest::N;

const char* kNeg = "HOTEL CENTRAL";

class RatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.SetNow({2024, 6, 20, 9, 0, 0, 0});
    t_ = qztest::CreateCatalogTable(dir_.path(), "T_CAMBIO");
    ASSERT_NE(t_, nullptr);
    // USD -> CRC stored only in that direction, dated the 1st and the 10th,
    // plus one dated after today; EUR -> USD for another business.
    Rate("US", "CR", D(2024, 6, 1), 500, 505);
    Rate("US", "CR", D(2024, 6, 10), 520, 525);
    Rate("US", "CR", D(2024, 6, 25), 999, 999);
    qztest::AddRow(*t_, {{"NEGOCIO", C("OTRO")},
                         {"MONEDA1", C("EU")},
                         {"MONEDA2", C("US")},
                         {"FECHA", D(2024, 6, 1)},
                         {"LIMITE", D(2090, 1, 1)},
                         {"CAMBIO", N(1.1)}});
  }
  void Rate(const char* from, const char* to, xb::Value fecha, double r1, double r2) {
    qztest::AddRow(*t_, {{"NEGOCIO", C(kNeg)},
                         {"MONEDA1", C(from)},
                         {"MONEDA2", C(to)},
                         {"FECHA", fecha},
                         {"LIMITE", D(2090, 1, 1)},
                         {"CAMBIO", N(r1)},
                         {"CAMBIO2", N(r2)}});
  }
  int32_t J(int y, int m, int d) { return xb::JulianFromYmd(y, m, d); }

  qztest::FakeClock clock_;
  qztest::TempDir dir_;
  std::unique_ptr<xb::Table> t_;
};

TEST_F(RatesTest, CurrentRateIgnoresRatesAfterToday) {
  EXPECT_DOUBLE_EQ(CAMBIO_ACT(kNeg, *t_, "CR", "US"), 520);
  EXPECT_DOUBLE_EQ(CAMBIO_ACT(kNeg, *t_, "CR", "US", 0, 0, 2), 525);
  EXPECT_DOUBLE_EQ(CAMBIO_ACT(kNeg, *t_, "CR", "US", 0, 0, 0), 520);  // 0 counts as 1
  EXPECT_EQ(CFECHA_ACT(kNeg, *t_, "CR", "US"), J(2024, 6, 10));
}

TEST_F(RatesTest, ReverseDirectionIsInverted) {
  EXPECT_DOUBLE_EQ(CAMBIO_ACT(kNeg, *t_, "US", "CR"), 1.0 / 520);
  EXPECT_DOUBLE_EQ(XCAMBIO_ACT(kNeg, *t_, "CR", "US"), 520);
  EXPECT_DOUBLE_EQ(XCAMBIO_ACT(kNeg, *t_, "US", "CR"), -520);
  EXPECT_DOUBLE_EQ(XCAMBIO_SPEC(kNeg, *t_, "US", "CR", J(2024, 6, 5)), -500);
  EXPECT_DOUBLE_EQ(XCAMBIO_SPEC(kNeg, *t_, "US", "CR", J(2024, 6, 5), 1, true), 500);
}

TEST_F(RatesTest, DatedLookupUsesTheRateInForce) {
  struct Case {
    int32_t fecha;
    double want;
  } cases[] = {
      {J(2024, 6, 5), 500},  {J(2024, 6, 10), 520}, {J(2024, 6, 24), 520},
      {J(2024, 6, 25), 999}, {J(2024, 5, 31), 0},  // before the first rate
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(CAMBIO_SPEC(kNeg, *t_, "CR", "US", c.fecha), c.want);
}

TEST_F(RatesTest, SameCurrencyMissingRateAndOtherBusiness) {
  EXPECT_EQ(CAMBIO_ACT(kNeg, *t_, "CR", "CR"), 1);
  EXPECT_EQ(CFECHA_ACT(kNeg, *t_, "CR", "CR"), J(2024, 6, 20));
  EXPECT_EQ(CAMBIO_ACT(kNeg, *t_, "EU", "CR"), 0);
  EXPECT_EQ(CFECHA_ACT(kNeg, *t_, "EU", "CR"), 0);
  EXPECT_EQ(XCAMBIO_ACT(kNeg, *t_, "US", "EU"), 0);  // stored for another business only
  EXPECT_DOUBLE_EQ(CAMBIO_ACT("OTRO", *t_, "US", "EU"), 1.1);
}

TEST_F(RatesTest, DailyDriftFromTheRowDate) {
  // 10 days from the 10th to today, plus 2 extra days, at 0.5 a day.
  EXPECT_DOUBLE_EQ(CAMBIO_ACT(kNeg, *t_, "CR", "US", 0.5, 2), 520 + 12 * 0.5);
  EXPECT_DOUBLE_EQ(CAMBIO_ACT(kNeg, *t_, "US", "CR", 0.5, 2), 1 / (520 + 12 * 0.5));
  // A drift that cancels the rate gives no rate rather than infinity.
  EXPECT_EQ(CAMBIO_ACT(kNeg, *t_, "US", "CR", -52, 0), 0);
}

TEST_F(RatesTest, CallersPositionIsRestored) {
  ASSERT_TRUE(t_->SetOrder("T_CAMBIO").ok());
  ASSERT_TRUE(t_->GoTo(2).ok());
  CAMBIO_ACT(kNeg, *t_, "US", "CR");
  EXPECT_EQ(t_->Order(), "T_CAMBIO");
  EXPECT_EQ(t_->RecNo(), 2u);
  ASSERT_TRUE(t_->GoTo(0).ok());
  CAMBIO_SPEC(kNeg, *t_, "US", "CR", J(2024, 6, 1));
  EXPECT_TRUE(t_->Eof());
}

}  // namespace
}  // namespace qz
