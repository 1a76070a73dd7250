// Display pictures as the screens write them: "!" upper case, "X" any
// character, "9" a digit; the picture's length is the column width. A
// picture made only of 9s, commas and a point ("9999,999,999.99") formats a
// number: grouping commas where the picture has them, the decimals after the
// point, right-aligned, asterisks when the number does not fit.
#pragma once

#include <optional>
#include <string>

#include "xbase/value.h"

namespace qz {

bool IsNumericPicture(const std::string& picture);
// "@D": a date field ("dd/mm/yy", read with ParseDateText of
// lib/data/date_time.h); it takes digits and slashes, up to "dd/mm/yyyy".
bool IsDatePicture(const std::string& picture);
inline constexpr int kDateEntryWidth = 10;

// Formats a table value (character values are Windows-1252 bytes) for display
// in UTF-8, exactly as wide as the picture.
std::string FormatWithPicture(const xb::Value& v, const std::string& picture);
// Formats a number with a numeric picture.
std::string FormatNumber(double n, const std::string& picture);

// What a user may type into a control with `picture` and at most `max_len`
// characters (0 = no limit): characters a numeric picture refuses are
// dropped, "!" positions become upper case, and text past the limit is cut.
// `*refused` is set when something typed was dropped.
std::string FilterInput(const std::string& utf8, const std::string& picture, int max_len,
                        bool* refused = nullptr);

// The value of a numeric text as xBase VAL reads it: commas ignored, leading
// blanks skipped, digits up to the first character that is not part of the
// number. "12a" is 12, "" and "abc" are 0.
double NumericValue(const std::string& text);

// The program's decimal separator ('.' unless the installation says ','):
// the other of the two is the thousands separator.
char DecimalSeparator();
void SetDecimalSeparator(char c);
// A number as the user typed it into a numeric field: optional blanks and
// sign, digits with thousands separators only where they group three digits
// ("1,250"), the decimal separator at most once. Anything else is refused
// (nullopt) rather than guessed: "7,5" is not 75, "12a" is not 12. Blank
// text is 0.
std::optional<double> ParseNumber(const std::string& text);
// "El valor "7,5" no es un número válido ..." for a refused number.
std::string NotANumberMessage(const std::string& text);

// Upper case of Windows-1252 bytes (accented letters included), shared with
// the word index.
std::string UpperCp1252(std::string s);
// Upper case of UTF-8 text for the letters Windows-1252 holds.
std::string UpperUtf8(const std::string& utf8);
// Number of characters (code points) of UTF-8 text.
int Utf8Length(const std::string& utf8);
// The first `n` characters of UTF-8 text.
std::string Utf8Left(const std::string& utf8, int n);

}  // namespace qz
