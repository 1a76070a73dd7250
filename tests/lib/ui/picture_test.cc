// Pictures as the grids and edit controls apply them.
#include "lib/ui/picture.h"

#include <gtest/gtest.h>

#include "lib/data/date_time.h"
#include "xbase/value.h"

namespace {

TEST(Pictures, NumbersGroupRoundAndOverflowLikeXbase) {
  EXPECT_EQ(qz::FormatNumber(1234567.891, "9999,999,999.99"), "   1,234,567.89");
  EXPECT_EQ(qz::FormatNumber(-0.004, "999.99"), "  0.00");
  EXPECT_EQ(qz::FormatNumber(-12.5, "999.99"), "-12.50");
  EXPECT_EQ(qz::FormatNumber(12345, "9999"), "****");
  EXPECT_EQ(qz::FormatNumber(20, "9999"), "  20");
}

TEST(Pictures, CharacterPicturesUpperCaseAndKeepTheWidth) {
  // Windows-1252 "ñandú" upper-cased by "!" and cut/padded to the picture.
  EXPECT_EQ(qz::FormatWithPicture(xb::Value::Char("\xf1"
                                                  "and\xfa"),
                                  "!!!!!!"),
            "ÑANDÚ ");
  EXPECT_EQ(qz::FormatWithPicture(xb::Value::Char("abcdef"), "XXX"), "abc");
  EXPECT_EQ(qz::FormatWithPicture(xb::Value::Number(7), "9999999999"), "         7");
}

TEST(Pictures, InputIsFilteredAndCut) {
  bool refused = false;
  EXPECT_EQ(qz::FilterInput("1a2,3b4", "9999999999", 10, &refused), "12,34");
  EXPECT_TRUE(refused);
  EXPECT_EQ(qz::FilterInput("día", "!!!!", 0, &refused), "DÍA");
  EXPECT_FALSE(refused);
  EXPECT_EQ(qz::FilterInput("ñañañaña", "", 5, &refused), "ñañañ");
  EXPECT_TRUE(refused);
}

TEST(Pictures, NumericValueReadsLikeVal) {
  EXPECT_EQ(qz::NumericValue("1,250"), 1250);
  EXPECT_EQ(qz::NumericValue("  12a"), 12);
  EXPECT_EQ(qz::NumericValue("-3.5"), -3.5);
  EXPECT_EQ(qz::NumericValue("abc"), 0);
  EXPECT_EQ(qz::NumericValue(""), 0);
}

}  // namespace

namespace {

TEST(TypedValues, NumbersFollowTheDecimalSeparatorAndRefuseStrayCommas) {
  EXPECT_EQ(qz::ParseNumber("7.5"), 7.5);
  EXPECT_EQ(qz::ParseNumber(" -1,234.50 "), -1234.5);
  EXPECT_EQ(qz::ParseNumber("1,250"), 1250);
  EXPECT_EQ(qz::ParseNumber(""), 0);
  for (const char* bad : {"7,5", "12a", "1,2345", ",125", "1.2.3", "-", "1,25,000"})
    EXPECT_FALSE(qz::ParseNumber(bad).has_value()) << bad;
  // An installation writing decimals with a comma reads the other way round.
  qz::SetDecimalSeparator(',');
  EXPECT_EQ(qz::ParseNumber("7,5"), 7.5);
  EXPECT_EQ(qz::ParseNumber("1.250,75"), 1250.75);
  EXPECT_FALSE(qz::ParseNumber("7.5").has_value());
  qz::SetDecimalSeparator('.');
}

TEST(TypedValues, DatesUseThe1980EpochAndRefuseDaysThatDoNotExist) {
  auto ymd = [](const std::string& text) {
    auto j = qz::ParseDateText(text);
    if (!j) return std::string("refused");
    if (*j == 0) return std::string("empty");
    return xb::DtosFromJulian(*j);
  };
  EXPECT_EQ(ymd("31/12/79"), "20791231");
  EXPECT_EQ(ymd("01/01/80"), "19800101");
  EXPECT_EQ(ymd("31/12/50"), "20501231");
  EXPECT_EQ(ymd("1/2/03"), "20030201");
  EXPECT_EQ(ymd("29/02/2024"), "20240229");
  EXPECT_EQ(ymd("311299"), "19991231");
  EXPECT_EQ(ymd("  "), "empty");
  for (const char* bad : {"29/02/23", "31/04/26", "00/01/26", "12/13/26", "1/1/1", "aa/bb/cc"})
    EXPECT_EQ(ymd(bad), "refused") << bad;
  // What is shown reads back as the same day.
  EXPECT_EQ(qz::DateText(*qz::ParseDateText("5/7/81")), "05/07/81");
}

TEST(TypedValues, DateFieldsTakeDigitsAndSlashesOnly) {
  bool refused = false;
  EXPECT_EQ(qz::FilterInput("31/12/79x", "@D", 0, &refused), "31/12/79");
  EXPECT_TRUE(refused);
  EXPECT_EQ(qz::FilterInput("31/12/1979", "@D", 0, &refused), "31/12/1979");
  EXPECT_FALSE(refused);
}

}  // namespace
