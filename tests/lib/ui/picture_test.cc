// Pictures as the grids and edit controls apply them.
#include "lib/ui/picture.h"

#include <gtest/gtest.h>

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
