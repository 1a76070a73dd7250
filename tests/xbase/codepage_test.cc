#include "xbase/codepage.h"

#include <gtest/gtest.h>

namespace xb {

TEST(CodePage, RoundTripsSpanishTextAndEuro) {
  std::string utf8 = "MOñAQUEMA Árbol €uro “x”";
  std::string bytes = FromUtf8(utf8);
  EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 0xF1);  // ñ
  EXPECT_EQ(static_cast<unsigned char>(bytes[10]), 0xC1);  // Á
  EXPECT_EQ(static_cast<unsigned char>(bytes[16]), 0x80);  // €
  EXPECT_EQ(ToUtf8(bytes), utf8);
}

TEST(CodePage, UnmappableAndBrokenInputBecomeQuestionMarks) {
  EXPECT_EQ(FromUtf8("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK character
  EXPECT_EQ(FromUtf8("a\xC3"), "a?");               // cut in the middle
  EXPECT_EQ(FromUtf8("\xFF" "z"), "?z");
}

}  // namespace xb
