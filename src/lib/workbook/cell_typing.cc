#include "lib/workbook/cell_typing.h"

#include <cctype>
#include <cstdlib>

#include "lib/payroll/dates.h"

namespace qz {

std::string TrimBlanks(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

std::optional<double> ParseAmount(const std::string& text) {
  std::string digits;
  int points = 0;
  bool any_digit = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      any_digit = true;
      digits += c;
    } else if (c == '.') {
      ++points;
      digits += c;
    } else if (c == ',') {
      continue;
    } else if (c == '-' && i == 0) {
      digits += c;
    } else {
      return std::nullopt;
    }
  }
  if (!any_digit || points > 1) return std::nullopt;
  return std::strtod(digits.c_str(), nullptr);
}

bool ParseShortDate(const std::string& t, XlsDate* d) {
  if (t.size() != 8 || t[2] != '/' || t[5] != '/') return false;
  for (int i : {0, 1, 3, 4, 6, 7})
    if (!std::isdigit(static_cast<unsigned char>(t[i]))) return false;
  int day = (t[0] - '0') * 10 + (t[1] - '0');
  int month = (t[3] - '0') * 10 + (t[4] - '0');
  int yy = (t[6] - '0') * 10 + (t[7] - '0');
  if (month < 1 || month > 12 || day < 1) return false;
  // 29 February needs a leap year in the century the caller will choose;
  // 2000 is leap and so are all its two-digit companions that divide by 4.
  if (day > DaysInMonth(2000 + yy, month)) return false;
  *d = XlsDate{yy, month, day};
  return true;
}

bool LooksLikeDate(const std::string& text) {
  std::string t = TrimBlanks(text);
  if (t.size() != 8 && t.size() != 10) return false;
  char sep = t[2];
  if ((sep != '/' && sep != '-') || t[5] != sep) return false;
  for (size_t i = 0; i < t.size(); ++i)
    if (i != 2 && i != 5 && !std::isdigit(static_cast<unsigned char>(t[i]))) return false;
  return true;
}

}  // namespace qz
