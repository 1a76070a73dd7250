// Conversions between numbers, dates and text that key expressions need,
// with the results xBase programs give (STR, STRZERO, VAL, DTOS and the
// string comparison of SET EXACT OFF). Private to the expression evaluator;
// pure functions so they can be tested on their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xb::expr {

// What STR(n, len, dec) does with its arguments: the total width of the text
// and the decimals in it. `has_len`/`has_dec` say which arguments were given.
struct StrLayout {
  int width = 10;
  int dec = 0;
};
StrLayout StrLayoutFor(bool has_len, double len, bool has_dec, double dec);

// Writes exactly `width` characters to `out`: `v` right-aligned with `dec`
// decimals, rounded half away from zero on its first 15 significant digits
// (so 8.995 gives "8.99"+1 = "9.00", as a person reading the value expects),
// or `width` asterisks when it does not fit (or is not finite).
// REQUIRES: width >= 1, 0 <= dec.
void FormatNumber(double v, int width, int dec, char* out);

// STRZERO: FormatNumber with leading blanks turned into zeros and the sign
// moved to the front.
void FormatNumberZero(double v, int width, int dec, char* out);

// ROUND: `v` rounded half away from zero to `dec` decimals (negative `dec`
// rounds to tens, hundreds, ...), judged on 15 significant digits like
// FormatNumber.
double RoundDecimal(double v, int dec);

// VAL: the number at the start of `s` (leading white space, a sign, digits
// with at most one decimal point); 0 when there is none.
double ParseNumber(std::string_view s);

// DTOS: appends "YYYYMMDD", or 8 blanks for the empty date and for days
// outside the years 1..9999.
void AppendDtos(int32_t jd, std::string* out);

// Compares two strings as xBase does with SET EXACT OFF. With `exact` (the
// == operator) the bytes and lengths must match. Without it, a right operand
// that is a prefix of the left one compares equal (so "ABC" = "AB" and
// "ABC" = "" are true, "AB" = "ABC" is false). Returns <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b, bool exact);

}  // namespace xb::expr
