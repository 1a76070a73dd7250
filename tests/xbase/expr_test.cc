// What key expressions compute: the operators and functions, with the edge
// cases where an xBase engine's answer is easy to get wrong.
#include "xbase/expr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "expr_test_util.h"

namespace xb {
namespace {

using testing::Cond;
using testing::Eval;
using testing::Length;
using testing::Num;
using testing::TestRecord;
using testing::Text;

TEST(ExprStr, RoundsHalfAwayFromZeroAsTheValueReads) {
  EXPECT_EQ(Text("STR(154.13, 15, 2)"), "         154.13");
  EXPECT_EQ(Text("STR(2.5)"), "         3");
  EXPECT_EQ(Text("STR(-2.5)"), "        -3");
  EXPECT_EQ(Text("STR(2.4999)"), "         2");
  // Binary doubles just below the half (2.67499.., 1.00499.., 8.99499..)
  // still round up: the value was written with those decimals.
  EXPECT_EQ(Text("STR(2.675, 4, 2)"), "2.68");
  EXPECT_EQ(Text("STR(1.005, 4, 2)"), "1.01");
  EXPECT_EQ(Text("STR(8.995, 5, 2)"), " 9.00");
  EXPECT_EQ(Text("STR(-2.675, 5, 2)"), "-2.68");
  EXPECT_EQ(Text("STR(0.285, 4, 2)"), "0.29");
  EXPECT_EQ(Text("STR(2.674, 4, 2)"), "2.67");
  EXPECT_EQ(Text("STR(0.123456, 10, 4)"), "    0.1235");
  EXPECT_EQ(Text("STR(TOT_SAL * 3, 10, 3)"), "   462.390");
  EXPECT_EQ(Text("STR(123456789012.345, 17, 3)"), " 123456789012.345");  // 15 digits
  EXPECT_EQ(Text("STR(-98765432109.875, 16, 2)"), " -98765432109.88");
  // Nothing below the rounding point: no "-0".
  EXPECT_EQ(Text("STR(-0.004, 5, 2)"), " 0.00");
  EXPECT_EQ(Text("STR(-0.4)"), "         0");
}

TEST(ExprStr, FillsWithAsterisksWhenTheNumberDoesNotFit) {
  EXPECT_EQ(Text("STR(12345, 4)"), "****");
  EXPECT_EQ(Text("STR(-999, 4)"), "-999");
  EXPECT_EQ(Text("STR(-1000, 4)"), "****");
  EXPECT_EQ(Text("STR(9.996, 5, 2)"), "10.00");
  EXPECT_EQ(Text("STR(99.996, 5, 2)"), "*****");  // the carry makes it 100.00
  EXPECT_EQ(Text("STR(0.5, 3, 2)"), "***");       // no room left for the integer part
  EXPECT_EQ(Text("STR(100000000000000000000, 22)"), " 100000000000000000000");
  EXPECT_EQ(Text("STR(100000000000000000000, 20)"), "********************");
}

TEST(ExprStr, WidthAndDecimalDefaults) {
  EXPECT_EQ(Text("STR(42)"), "        42");
  EXPECT_EQ(Text("STR(42.7)"), "        43");
  EXPECT_EQ(Text("STR(42, 0)"), "        42");  // a width below 1 is the default
  EXPECT_EQ(Text("STR(7.6, 1, 1)"), "8");       // width 1 has no room for decimals
  EXPECT_EQ(Text("STR(7.6, 3, -1)"), "  8");
  EXPECT_EQ(Text("STR(ID, 6)"), "  -993");  // an I field
  EXPECT_EQ(Length("STR(TOT_SAL)"), 10);
  EXPECT_EQ(Length("STR(TOT_SAL, 15, 2)"), 15);
}

TEST(ExprStr, StrZeroPadsWithZerosAfterTheSign) {
  EXPECT_EQ(Text("STRZERO(42, 5)"), "00042");
  EXPECT_EQ(Text("STRZERO(-5, 4)"), "-005");
  EXPECT_EQ(Text("STRZERO(3.14159, 6, 2)"), "003.14");
  EXPECT_EQ(Text("STRZERO(123456, 3)"), "***");
}

TEST(ExprText, SubstrFollowsXbaseForStartsOutsideTheText) {
  EXPECT_EQ(Text("SUBSTR('ABCDEF', 2, 3)"), "BCD");
  EXPECT_EQ(Text("SUBSTR(CODIGO, 1, 6)"), "109988");
  EXPECT_EQ(Text("SUBSTR('ABCDEF', 5, 10)"), "EF");
  EXPECT_TRUE(Cond("SUBSTR('ABC', 5, 2) == ''"));
  EXPECT_TRUE(Cond("SUBSTR('ABC', 4) == ''"));
  EXPECT_EQ(Text("SUBSTR('ABC', 0, 2)"), "AB");   // 0 starts at the first byte
  EXPECT_EQ(Text("SUBSTR('ABCDEF', -2)"), "EF");  // negative counts from the end
  EXPECT_EQ(Text("SUBSTR('ABCDEF', -10, 2)"), "AB");
  EXPECT_TRUE(Cond("SUBSTR('ABC', 2, 0) == '' .AND. SUBSTR('ABC', 2, -1) == ''"));
  // The key length is what the call gives on a value of full width.
  EXPECT_EQ(Length("SUBSTR(CODIGO, 2, 4)"), 4);
  EXPECT_EQ(Length("SUBSTR(CODIGO, 14, 4)"), 2);
  EXPECT_EQ(Length("SUBSTR(CODIGO, -3)"), 3);
  EXPECT_EQ(Length("NEGOCIO + SUBSTR(CODIGO, 20, 3)"), 15);
  EXPECT_EQ(Length("SUBSTR(CODIGO, ACTIVO, 4)"), 4);
}

TEST(ExprText, LeftRightAndPads) {
  EXPECT_EQ(Text("LEFT(NOMBRE, 3)"), "Mo\xF1");
  EXPECT_EQ(Text("LEFT('ABC', 10) + '|'"), "ABC|");
  EXPECT_TRUE(Cond("LEFT('ABC', -1) == ''"));
  EXPECT_EQ(Text("RIGHT('ABCDE', 2)"), "DE");
  EXPECT_EQ(Text("RIGHT('AB', 5) + '|'"), "AB|");
  EXPECT_EQ(Text("PADR('AB', 4) + '|'"), "AB  |");
  EXPECT_EQ(Text("PADL('AB', 4, '*')"), "**AB");
  EXPECT_EQ(Text("PADC('AB', 5, '-')"), "-AB--");
  EXPECT_EQ(Text("PADR('ABCDEF', 3)"), "ABC");
  EXPECT_EQ(Text("PADL('ABCDEF', 3)"), "ABC");  // too long: the left part stays
  EXPECT_EQ(Text("PADR('AB', 4, '') + '|'"), "AB  |");
  EXPECT_EQ(Length("LEFT(NOMBRE, 3)"), 3);
  EXPECT_EQ(Length("LEFT(NOMBRE, 50)"), 40);
  EXPECT_EQ(Length("RIGHT(NOMBRE, 5)"), 5);
  EXPECT_EQ(Length("PADR(NOMBRE, 50)"), 50);
  EXPECT_EQ(Length("PADL(CODIGO, 5)"), 5);
}

TEST(ExprText, UpperAndLowerChangeOnlyAsciiLetters) {
  EXPECT_EQ(Text("UPPER(NOMBRE)"), TestRecord::Pad("MO\xF1"
                                                   "A QU\xE9"
                                                   "MEZ",
                                                   40));
  EXPECT_EQ(Text("LOWER('\xD1"
                 "A\xC1"
                 "Z')"),
            "\xD1"
            "a\xC1"
            "z");
  EXPECT_EQ(Length("UPPER(NOMBRE)"), 40);
}

TEST(ExprText, TrimsAndTheirKeyLength) {
  EXPECT_EQ(Text("ALLTRIM('  a b  ') + '|'"), "a b|");
  EXPECT_EQ(Text("LTRIM(' \ta') + '|'"), "a|");
  EXPECT_EQ(Text("RTRIM('a \t ') + '|'"), "a \t|");  // trailing blanks only
  EXPECT_TRUE(Cond("TRIM(NEGOCIO) + '|' == 'HOTEL CENTRAL|'"));
  // A trimmed part makes the key as long as the untrimmed one; the result is
  // padded with blanks to that length.
  EXPECT_EQ(Length("ALLTRIM(NOMBRE)"), 40);
  EXPECT_EQ(Text("TRIM(NEGOCIO) + CODIGO"), TestRecord::Pad("HOTEL CENTRAL109988-1", 30));
}

TEST(ExprText, MinusMovesTheLeftBlanksToTheEnd) {
  EXPECT_EQ(Text("'AB  ' - 'CD'"), "ABCD  ");
  EXPECT_EQ(Text("'AB' - 'CD '"), "ABCD ");
  EXPECT_EQ(Text("'   ' - 'X'"), "X   ");
  EXPECT_EQ(Text("NEGOCIO - CODIGO"), TestRecord::Pad("HOTEL CENTRAL109988-1", 30));
  EXPECT_EQ(Text("NEGOCIO - '' + '|'"), "HOTEL CENTRAL  |");
}

TEST(ExprText, ValAndLen) {
  EXPECT_EQ(Num("VAL('  12.50abc')"), 12.5);
  EXPECT_EQ(Num("VAL('-3')"), -3);
  EXPECT_EQ(Num("VAL('+7')"), 7);
  EXPECT_EQ(Num("VAL('.5')"), 0.5);
  EXPECT_EQ(Num("VAL('1.2.3')"), 1.2);
  EXPECT_EQ(Num("VAL('abc')"), 0);
  EXPECT_EQ(Num("VAL(CODIGO)"), 109988);
  EXPECT_EQ(Num("VAL('12345678901234567890123456789012345678901234567890')"),
            std::strtod("12345678901234567890123456789012345678901234567890", nullptr));
  EXPECT_EQ(Num("LEN(NEGOCIO)"), 15);
  EXPECT_EQ(Num("LEN(TRIM(NEGOCIO))"), 13);
}

TEST(ExprCompare, NonExactEqualsComparesOverTheRightOperand) {
  EXPECT_TRUE(Cond("'ABC' = 'AB'"));
  EXPECT_FALSE(Cond("'AB' = 'ABC'"));
  EXPECT_TRUE(Cond("'ABC' = ''"));
  EXPECT_FALSE(Cond("'' = 'A'"));
  EXPECT_FALSE(Cond("'ABC' != 'AB'"));
  EXPECT_TRUE(Cond("'ABC' <> 'ABD'"));
  EXPECT_TRUE(Cond("'ABC' # 'ABD'"));
  EXPECT_TRUE(Cond("NEGOCIO = 'HOTEL'"));
  // == is exact: lengths and trailing blanks count.
  EXPECT_FALSE(Cond("'ABC' == 'AB'"));
  EXPECT_FALSE(Cond("'AB ' == 'AB'"));
  EXPECT_FALSE(Cond("NEGOCIO == 'HOTEL CENTRAL'"));
  EXPECT_TRUE(Cond("NEGOCIO == 'HOTEL CENTRAL  '"));
}

TEST(ExprCompare, OrderingOfDifferentLengthsAndBytes) {
  EXPECT_TRUE(Cond("'AB' < 'ABC'"));
  EXPECT_FALSE(Cond("'ABC' < 'AB'"));
  EXPECT_FALSE(Cond("'ABC' > 'AB'"));  // equal under the non-exact rule
  EXPECT_TRUE(Cond("'ABC' >= 'AB'"));
  EXPECT_TRUE(Cond("'ABD' > 'ABC'"));
  EXPECT_TRUE(Cond("'\xF1' > 'z'"));  // bytes compare unsigned: cp1252 letters sort last
  EXPECT_TRUE(Cond("'EN' $ NEGOCIO"));
  EXPECT_FALSE(Cond("'' $ 'ABC'"));
  EXPECT_FALSE(Cond("'ABC' $ 'AB'"));
}

TEST(ExprCompare, NumbersDatesAndLogicals) {
  EXPECT_TRUE(Cond("ACTIVO == 1"));
  EXPECT_TRUE(Cond("ACTIVO = 1.0 .AND. TOT_SAL > 154 .AND. TOT_SAL <= 154.13"));
  EXPECT_TRUE(Cond("ID < 0"));
  EXPECT_TRUE(Cond("F_INGRESO > STOD('20100121') .AND. F_INGRESO < STOD('20100123')"));
  EXPECT_TRUE(Cond("CTOD('') < STOD('19000101')"));  // the empty date sorts first
  EXPECT_TRUE(Cond(".T. > .F. .AND. SUPER = .F. .AND. .Y. == .T. .AND. .N. = .F."));
}

TEST(ExprDate, ArithmeticAndDtos) {
  EXPECT_EQ(Text("DTOS(STOD('20240228') + 1)"), "20240229");
  EXPECT_EQ(Text("DTOS(2 + STOD('20240228'))"), "20240301");
  EXPECT_EQ(Text("DTOS(STOD('20240301') - 1)"), "20240229");
  EXPECT_EQ(Text("DTOS(STOD('20240101') + 1.9)"), "20240102");  // whole days only
  EXPECT_EQ(Text("DTOS(STOD('20240101') - 1.9)"), "20231231");
  EXPECT_EQ(Num("STOD('20240301') - STOD('20240101')"), 60);
  EXPECT_EQ(Num("F_INGRESO - STOD('20100101')"), 21);
  EXPECT_EQ(Text("DTOS(F_INGRESO)"), "20100122");
  EXPECT_EQ(Text("DTOS(MOMENTO)"), "20240124");
  EXPECT_EQ(Num("YEAR(F_INGRESO) * 10000 + MONTH(F_INGRESO) * 100 + DAY(F_INGRESO)"), 20100122);
}

TEST(ExprDate, EmptyDateIsDayZero) {
  TestRecord rec;
  rec.values[5] = Value::Date(0);
  EXPECT_EQ(Text("DTOS(F_INGRESO)", rec), "        ");
  EXPECT_EQ(Text("DTOS(F_INGRESO + 1)", rec), "        ");  // not a calendar day
  // What the other engine stored for STOD("20900101") - an empty date.
  EXPECT_EQ(Num("STOD('20900101') - F_INGRESO", rec), 2484418);
  EXPECT_EQ(Num("YEAR(F_INGRESO) + MONTH(F_INGRESO) + DAY(F_INGRESO)", rec), 0);
  EXPECT_TRUE(Cond("EMPTY(F_INGRESO) .AND. F_INGRESO == CTOD('  ')", rec));
  EXPECT_EQ(Text("DTOS(STOD('20230230')) + DTOS(STOD('')) + DTOS(STOD('2023'))"),
            std::string(24, ' '));
}

TEST(ExprNumber, ArithmeticAndPrecedence) {
  EXPECT_EQ(Num("1 + 2 * 3"), 7);
  EXPECT_EQ(Num("(1 + 2) * 3"), 9);
  EXPECT_EQ(Num("10 - 2 - 3"), 5);
  EXPECT_EQ(Num("2 ^ 10 + 2 ** 3"), 1032);
  EXPECT_EQ(Num("-2 ^ 2"), 4);  // unary minus binds tighter, as in Clipper
  EXPECT_EQ(Num("7 % 3"), 1);
  EXPECT_EQ(Num("-7 % 3"), -1);
  EXPECT_EQ(Num("7 / 0 + 7 % 0"), 0);  // a zero divisor gives 0, not a failure
  EXPECT_EQ(Num("-ID + +1"), 994);
  EXPECT_EQ(Num("ROUND(2.675, 2)"), 2.68);
  EXPECT_EQ(Num("ROUND(-2.5, 0)"), -3);
  EXPECT_EQ(Num("ROUND(1250, -2)"), 1300);
  EXPECT_EQ(Num("INT(-2.7) + ABS(-3)"), 1);
  EXPECT_FALSE(std::signbit(Num("-0 * TOT_SAL")));  // -0 would be a key of its own
}

TEST(ExprLogic, PrecedenceOfNotAndOr) {
  EXPECT_FALSE(Cond("!ACTIVO = 1"));  // !(ACTIVO = 1)
  EXPECT_TRUE(Cond("SUPER = !.T."));
  EXPECT_FALSE(Cond(".F. .OR. .T. .AND. .F."));
  EXPECT_TRUE(Cond(".not. SUPER .and. ACTIVO = 1 .or. .f."));
  EXPECT_TRUE(Cond("ACTIVO=1.AND.ID<0"));
  EXPECT_TRUE(Cond("EMPTY('  ') .AND. EMPTY(0) .AND. EMPTY(SUPER) .AND. !EMPTY(NOMBRE)"));
}

TEST(ExprFunctions, IifAndItsKeyLength) {
  EXPECT_EQ(Text("IIF(ACTIVO = 1, 'SI', 'NO')"), "SI");
  EXPECT_EQ(Num("IF(SUPER, 1, 2)"), 2);
  // Branches of different lengths: the key is as long as the longer one.
  EXPECT_EQ(Length("IIF(SUPER, 'A', 'BBB') + 'X'"), 4);
  EXPECT_EQ(Text("IIF(ACTIVO = 1, 'A', 'BBB') + 'X'"), "AX  ");
}

TEST(ExprFunctions, NamesAreCaseInsensitiveAndMayBeAbbreviated) {
  EXPECT_EQ(Text("subs(codigo, 1, 3) + Upper(Left(nombre, 2)) + DToS(hb_SToD('20240101'))"),
            "109MO20240101");
  EXPECT_EQ(Text("UPPE(LEFT(NOMBRE, 2)) + ALLT(' Z ') + STRZ(ACTIVO, 2)"), "MOZ01");
}

TEST(ExprFields, AliasesAndNames) {
  EXPECT_EQ(Text("EMPLE->NEGOCIO + field->codigo"), Text("NEGOCIO + CODIGO"));
  EXPECT_EQ(Text("emple.negocio"), TestRecord::Pad("HOTEL CENTRAL", 15));
  EXPECT_EQ(Eval("MOMENTO").type(), Value::Type::kTimestamp);
  EXPECT_EQ(Eval("ID").type(), Value::Type::kNumber);  // I fields are numbers
  EXPECT_EQ(Length("TOT_SAL"), 8);
  EXPECT_EQ(Length("SUPER"), 1);
  EXPECT_EQ(Text("LEFT(COMENTA, 5)"), "nota ");
  EXPECT_TRUE(Cond("'larga' $ COMENTA"));
}

}  // namespace
}  // namespace xb
