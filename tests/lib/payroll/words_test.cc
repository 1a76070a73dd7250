#include "lib/payroll/words.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

std::string Padded(std::string s, size_t w) {
  s.append(w - s.size(), '/');
  return s;
}

struct WordsCase {
  double monto;
  const char* spanish;
  const char* english;
};

TEST(Monex, WholeTextInOneLine) {
  const WordsCase cases[] = {
      {1000, "UN MIL EXACTOS", "ONE THOUSEND EXACT"},
      {21, "VEINTIUNO EXACTOS", "TWENTY ONE EXACT"},
      {1, "UNO EXACTOS", "ONE EXACT"},
      {100, "CIEN EXACTOS", "HUNDRED EXACT"},
      {115, "CIENTO QUINCE EXACTOS", "ONE HUNDRED FIFTEEN EXACT"},
      {118, "CIENTO DIECIOCHO EXACTOS", "ONE HUNDRED EIGHTTEEN EXACT"},
      {200, "DOSCIENTOS EXACTOS", "TWO HUNDRED EXACT"},
      {20.05, "VEINTE CON 05/100", "TWENTY WITH 05/100"},
      {45.5, "CUARENTA Y CINCO CON 50/100", "FOURTY FIVE WITH 50/100"},
      {21000, "VEINTIUN MIL EXACTOS", "TWENTY ONE THOUSEND EXACT"},
      {1000000, "UN MILLON EXACTOS", "ONE MILLION EXACT"},
      {2000001, "DOS MILLONES UNO EXACTOS", "TWO MILLIONS ONE EXACT"},
      {1234567.89,
       "UN MILLON DOSCIENTOS TREINTA Y CUATRO MIL QUINIENTOS SESENTA Y SIETE CON 89/100",
       "ONE MILLION TWO HUNDRED THIRTY FOUR THOUSEND FIVE HUNDRED SIXTY SEVEN WITH 89/100"},
      {0.5, "CERO CON 50/100", "ZERO WITH 50/100"},
      {-21, "VEINTIUNO EXACTOS", "TWENTY ONE EXACT"},
      {1.005, "UNO CON 01/100", "ONE WITH 01/100"},  // cents round half away from zero
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MONEX(c.monto, 100), Padded(c.spanish, 100)) << c.monto;
    EXPECT_EQ(MONEXINGLES(c.monto, 100), Padded(c.english, 100)) << c.monto;
    EXPECT_EQ(MONEX2(c.monto, 100, false, 2), Padded(c.english, 100)) << c.monto;
  }
}

TEST(Monex, SyllableMarksOfTheWords) {
  EXPECT_EQ(AmountWords(1000, false, 1), "UN MIL  EXACTOS");
  EXPECT_EQ(AmountWords(21, false, 1), "VEIN-TIUNO EXACTOS");
  EXPECT_EQ(AmountWords(17, true, 1), "DIE-CISIE-TE");
  EXPECT_EQ(AmountWords(1234, true, 1), "UN MIL DOS-CIEN-TOS TREIN-TA Y CUA-TRO");
}

TEST(Monex, WithoutCents) {
  EXPECT_EQ(MONEX(21.75, 20, true), "VEINTIUNO///////////");
  EXPECT_EQ(MONEX2(21.75, 20, true, 1), "VEINTIUNO///////////");
}

TEST(Monex, FirstLineBreaksBetweenSyllables) {
  // "UN MIL DOS-CIEN-TOS TREIN-TA Y CUA-TRO CON 56/100"
  EXPECT_EQ(MONEX(1234.56, 24), "UN MIL DOSCIENTOS TREIN-");
  EXPECT_EQ(MONEX(1234.56, 22), "UN MIL DOSCIENTOS/////");
  EXPECT_EQ(MONEX(1234.56, 12), "UN MIL DOS-/");
  EXPECT_EQ(MONEX(1234.56, 9), "UN MIL///");
  EXPECT_EQ(MONEX(1234.56, 2), "UN");
  EXPECT_EQ(MONEX(1234.56, 0), "UN MIL DOSCIENTOS TREINTA Y CUATRO CON 56/100");
  // English words have no syllable marks: the line breaks between words.
  EXPECT_EQ(MONEXINGLES(1234.56, 20), "ONE THOUSEND TWO////");
}

TEST(DaysAndMonths, Names) {
  EXPECT_EQ(DIAS_EN_LETRAS(1), "DOMINGO");
  EXPECT_EQ(DIAS_EN_LETRAS(4), "MIERCOLES");
  EXPECT_EQ(DIAS_EN_LETRAS(7, 1), "SA");
  EXPECT_EQ(DIAS_EN_LETRAS(0), "-----------");
  EXPECT_EQ(DIAS_EN_LETRAS(8, 1), "-----------");
  EXPECT_EQ(MES_EN_LETRAS(9), "SETIEMBRE");
  EXPECT_EQ(MES_EN_LETRAS(9, 2), "SEPTEMBER");
  EXPECT_EQ(MES_EN_LETRAS(1, 0), "JANUARY");
  EXPECT_EQ(MES_EN_LETRAS(13), "-----------");
}

}  // namespace
}  // namespace qz
