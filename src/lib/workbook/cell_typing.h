// Reading the printed or displayed text of a cell back into a value: amounts
// as reports and grids print them ("-1,234.50") and "dd/mm/yy" dates.
#pragma once

#include <optional>
#include <string>

#include "lib/workbook/xls_generator.h"

namespace qz {

// `s` without blanks at either end.
std::string TrimBlanks(const std::string& s);
// Text made only of digits, "." and "," with at most one "-", in first
// place, read as a number (commas are thousands separators). Text with no
// digit or more than one decimal point is not an amount.
std::optional<double> ParseAmount(const std::string& text);
// "dd/mm/yy" naming a real day of some century: fills day, month and the
// two-digit year (year 0-99; the caller chooses the century).
bool ParseShortDate(const std::string& text, XlsDate* d);
// Text shaped like a date: "dd/mm/yy" or "dd/mm/yyyy" (or with "-").
bool LooksLikeDate(const std::string& text);

}  // namespace qz
