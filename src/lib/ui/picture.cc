#include "lib/ui/picture.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "lib/data/date_time.h"
#include "lib/data/txt_srch.h"  // UpperCp1252
#include "xbase/codepage.h"

namespace qz {

bool IsDatePicture(const std::string& picture) {
  return picture == "@D";
}

bool IsNumericPicture(const std::string& picture) {
  if (picture.empty()) return false;
  bool digit = false;
  for (char c : picture) {
    if (c == '9') {
      digit = true;
    } else if (c != ',' && c != '.') {
      return false;
    }
  }
  return digit;
}

std::string UpperUtf8(const std::string& utf8) {
  return xb::ToUtf8(UpperCp1252(xb::FromUtf8(utf8)));
}

int Utf8Length(const std::string& s) {
  int n = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string Utf8Left(const std::string& s, int n) {
  int seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (seen == n) return s.substr(0, i);
      ++seen;
    }
  }
  return s;
}

std::string FormatNumber(double n, const std::string& picture) {
  size_t point = picture.find('.');
  int decimals = point == std::string::npos ? 0 : static_cast<int>(picture.size() - point - 1);
  bool group = picture.find(',') != std::string::npos;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(n));
  std::string digits = buf;
  std::string frac;
  size_t p = digits.find('.');
  if (p != std::string::npos) {
    frac = digits.substr(p);
    digits = digits.substr(0, p);
  }
  if (group) {
    std::string g;
    int count = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
      if (count > 0 && count % 3 == 0) g.insert(g.begin(), ',');
      g.insert(g.begin(), *it);
      ++count;
    }
    digits = g;
  }
  // A value that rounds to zero keeps no minus sign.
  bool negative = n < 0 && std::strtod(buf, nullptr) != 0;
  std::string out = (negative ? "-" : "") + digits + frac;
  if (out.size() > picture.size()) return std::string(picture.size(), '*');
  return std::string(picture.size() - out.size(), ' ') + out;
}

std::string FormatWithPicture(const xb::Value& v, const std::string& picture) {
  if (picture.empty()) return v.is_char() ? xb::ToUtf8(v.str()) : std::string();
  if (IsNumericPicture(picture) && v.is_numeric()) return FormatNumber(v.number(), picture);
  std::string bytes;
  if (v.is_char()) {
    bytes = v.str();
  } else if (v.is_numeric()) {
    bytes = FormatNumber(v.number(), std::string(picture.size(), '9'));
  } else if (v.type() == xb::Value::Type::kDate) {
    if (v.date() != 0) bytes = DateText(v.date());
  } else if (v.type() == xb::Value::Type::kLogical) {
    bytes.assign(1, v.logical() ? 'S' : 'N');
  }
  bytes.resize(picture.size(), ' ');
  for (size_t i = 0; i < picture.size(); ++i) {
    if (picture[i] == '!') bytes[i] = UpperCp1252(std::string(1, bytes[i]))[0];
  }
  return xb::ToUtf8(bytes);
}

std::string FilterInput(const std::string& utf8, const std::string& picture, int max_len,
                        bool* refused) {
  bool dropped = false;
  std::string out;
  if (IsDatePicture(picture)) {
    for (char c : utf8) {
      if (std::isdigit(static_cast<unsigned char>(c)) || c == '/' || c == ' ') {
        out += c;
      } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        dropped = true;
      }
    }
    if (max_len == 0) max_len = kDateEntryWidth;
  } else if (IsNumericPicture(picture)) {
    for (char c : utf8) {
      if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == ',' || c == '-' ||
          c == ' ') {
        out += c;
      } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        dropped = true;
      }
    }
  } else {
    out = utf8;
    bool all_upper = !picture.empty() && picture.find_first_not_of('!') == std::string::npos;
    if (all_upper) out = UpperUtf8(out);
  }
  int limit = max_len;
  if (!picture.empty() && !IsDatePicture(picture) && (limit == 0 || static_cast<int>(picture.size()) < limit))
    limit = static_cast<int>(picture.size());
  if (limit > 0 && Utf8Length(out) > limit) {
    out = Utf8Left(out, limit);
    dropped = true;
  }
  if (refused) *refused = dropped;
  return out;
}

namespace {
char g_decimal = '.';
}  // namespace

char DecimalSeparator() {
  return g_decimal;
}

void SetDecimalSeparator(char c) {
  g_decimal = c == ',' ? ',' : '.';
}

std::optional<double> ParseNumber(const std::string& text) {
  const char point = g_decimal, group = point == '.' ? ',' : '.';
  size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
  if (b == std::string::npos) return 0.0;
  std::string s = text.substr(b, e - b + 1);
  std::string clean;
  size_t i = 0;
  if (s[i] == '-' || s[i] == '+') clean += s[i++];
  // Integer part: digits, with group separators each followed by exactly
  // three digits and never first.
  int run = 0;
  bool grouped = false, digits = false;
  for (; i < s.size() && s[i] != point; ++i) {
    char c = s[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      clean += c;
      ++run;
      digits = true;
    } else if (c == group) {
      if (!digits || (grouped && run != 3) || (!grouped && run > 3)) return std::nullopt;
      grouped = true;
      run = 0;
    } else {
      return std::nullopt;
    }
  }
  if (grouped && run != 3) return std::nullopt;
  if (i < s.size()) {  // the decimal separator, then digits only
    clean += '.';
    for (++i; i < s.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(s[i]))) return std::nullopt;
      clean += s[i];
      digits = true;
    }
  }
  if (!digits) return std::nullopt;
  return std::strtod(clean.c_str(), nullptr);
}

std::string NotANumberMessage(const std::string& text) {
  return std::string("El valor \"") + text + "\" no es un número válido (el separador decimal es " +
         (g_decimal == '.' ? "el punto" : "la coma") + ")";
}

double NumericValue(const std::string& text) {
  std::string clean;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool sign_ok = true, point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == ',') continue;
    if (c == '-' && sign_ok) {
      clean += c;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      clean += c;
    } else if (c == '.' && !point) {
      point = true;
      clean += c;
    } else {
      break;
    }
    sign_ok = false;
  }
  if (clean.empty() || clean == "-" || clean == ".") return 0;
  return std::strtod(clean.c_str(), nullptr);
}

}  // namespace qz
