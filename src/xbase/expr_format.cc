#include "xbase/expr_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "xbase/value.h"

namespace xb::expr {

namespace {

constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// STR's text can never be wider than this; it also bounds the digit buffers.
constexpr int kMaxDigits = 320;

// Writes the decimal digits of `u` (no leading zeros, "0" for 0) to `out`;
// returns how many.
int WriteUnsigned(uint64_t u, char* out) {
  char tmp[24];
  int n = 0;
  do {
    tmp[n++] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  for (int i = 0; i < n; ++i) out[i] = tmp[n - 1 - i];
  return n;
}

// The digits of a * 10^dec rounded half away from zero, judged on the first
// 15 significant digits of `a` (the digits a double holds faithfully), so a
// value typed as 8.995 rounds up although its binary form is 8.99499...
// Returns the digit count, or -1 when more than `cap` digits would be needed.
// REQUIRES: a >= 0, finite.
int RoundedUnits(double a, int dec, char* out, int cap) {
  if (a == 0) {
    out[0] = '0';
    return 1;
  }
  if (dec < 16) {
    // Fast path: far from a half, plain rounding of the scaled value gives
    // the same digits as the 15-digit decimal form (its error stays well
    // below 2e-3 of a unit while the scaled value is under 1e12).
    double s = a * kPow10[dec];
    if (s < 1e12) {
      double r = std::floor(s);
      double f = s - r;
      if (std::fabs(f - 0.5) > 2e-3) {
        uint64_t u = static_cast<uint64_t>(r) + (f > 0.5 ? 1 : 0);
        return WriteUnsigned(u, out);
      }
    }
  }
  // d.dddddddddddddde+XX; to_chars, unlike printf, ignores the process
  // locale (the desktop program runs with the user's, where the point may be
  // a comma).
  char sci[48];
  char* end = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific, 14).ptr;
  char digits[15];
  digits[0] = sci[0];
  std::memcpy(digits + 1, sci + 2, 14);
  const char* e = sci + 16;  // 'e'
  int exp10 = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exp10);
  long kept = static_cast<long>(exp10) + 1 + dec;  // digits left of the rounding point
  if (kept < 0) {
    out[0] = '0';
    return 1;
  }
  if (kept == 0) {
    out[0] = digits[0] >= '5' ? '1' : '0';
    return 1;
  }
  if (kept > cap) return -1;
  int n = static_cast<int>(kept);
  if (n >= 15) {
    std::memcpy(out, digits, 15);
    std::memset(out + 15, '0', n - 15);
    return n;
  }
  std::memcpy(out, digits, n);
  if (digits[n] >= '5') {
    int i = n - 1;
    while (i >= 0 && out[i] == '9') out[i--] = '0';
    if (i >= 0) {
      ++out[i];
    } else {
      if (n + 1 > cap) return -1;
      std::memmove(out + 1, out, n);
      out[0] = '1';
      ++n;
    }
  }
  return n;
}

bool IsBlankSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

StrLayout StrLayoutFor(bool has_len, double len, bool has_dec, double dec) {
  StrLayout l;
  if (!has_len) return l;  // 10 wide, no decimals
  // Out-of-range widths behave like the default; huge ones are capped so a
  // computed width cannot ask for an absurd string.
  if (!(len >= 1)) return l;
  l.width = len > kMaxDigits ? kMaxDigits : static_cast<int>(len);
  // A width of 1 has no room for decimals: xBase ignores them then.
  if (has_dec && l.width > 1 && dec >= 1) {
    l.dec = dec > kMaxDigits ? kMaxDigits : static_cast<int>(dec);
  }
  return l;
}

void FormatNumber(double v, int width, int dec, char* out) {
  int int_width = dec > 0 ? width - dec - 1 : width;
  char units[kMaxDigits + 2];
  int n = -1;
  if (int_width >= 1 && std::isfinite(v)) {
    n = RoundedUnits(std::fabs(v), dec, units, kMaxDigits);
  }
  if (n < 0) {
    std::memset(out, '*', width);
    return;
  }
  bool zero = n == 1 && units[0] == '0';
  bool neg = v < 0 && !zero;
  int int_digits = n > dec ? n - dec : 1;
  if (int_digits + (neg ? 1 : 0) > int_width) {
    std::memset(out, '*', width);
    return;
  }
  int pad = int_width - int_digits - (neg ? 1 : 0);
  std::memset(out, ' ', pad);
  char* p = out + pad;
  if (neg) *p++ = '-';
  if (n > dec) {
    std::memcpy(p, units, int_digits);
  } else {
    *p = '0';
  }
  p += int_digits;
  if (dec > 0) {
    *p++ = '.';
    int frac_from_units = n >= dec ? dec : n;
    int lead_zeros = dec - frac_from_units;
    std::memset(p, '0', lead_zeros);
    std::memcpy(p + lead_zeros, units + n - frac_from_units, frac_from_units);
  }
}

void FormatNumberZero(double v, int width, int dec, char* out) {
  FormatNumber(v, width, dec, out);
  if (out[0] == '*') return;
  int from = 0;
  for (int i = 0; i < width; ++i) {
    if (out[i] == '-') {
      out[i] = '0';
      out[0] = '-';
      from = 1;
      break;
    }
  }
  for (int i = from; i < width; ++i) {
    if (out[i] == ' ') out[i] = '0';
  }
}

double RoundDecimal(double v, int dec) {
  if (!std::isfinite(v) || v == 0) return v;
  if (dec > kMaxDigits) return v;
  double scale = 1;
  if (dec < 0) {
    scale = std::pow(10.0, -dec);
    if (!std::isfinite(scale)) return 0;
  }
  char digits[kMaxDigits + 8];
  int n = RoundedUnits(std::fabs(v) / scale, dec < 0 ? 0 : dec, digits, kMaxDigits);
  if (n < 0) return v;  // too many digits to matter: already whole
  if (dec > 0) {
    digits[n++] = 'e';
    digits[n++] = '-';
    n = static_cast<int>(std::to_chars(digits + n, digits + sizeof digits, dec).ptr - digits);
  }
  double r = 0;
  std::from_chars(digits, digits + n, r);
  r *= scale;
  if (r == 0) return 0;
  return v < 0 ? -r : r;
}

double ParseNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlankSpace(s[i])) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  // Collect the digits (at most 40 significant ones: more cannot change a
  // double) and the decimal point, then let from_chars round correctly.
  char buf[64];
  int len = 0;
  int sig = 0;
  int extra_int_digits = 0;
  bool dot = false, any = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      any = true;
      if (sig == 0 && c == '0' && !dot) continue;  // leading zeros
      if (sig < 40) {
        buf[len++] = c;
        ++sig;
      } else if (!dot) {
        ++extra_int_digits;
      }
    } else if (c == '.' && !dot) {
      dot = true;
      buf[len++] = '.';
    } else {
      break;
    }
  }
  if (!any) return 0;
  if (len == 0 || (len == 1 && buf[0] == '.')) return 0;
  if (extra_int_digits > 0) {
    buf[len++] = 'e';
    len = static_cast<int>(std::to_chars(buf + len, buf + sizeof buf, extra_int_digits).ptr - buf);
  }
  double d = 0;
  std::from_chars(buf, buf + len, d);
  if (d == 0) return 0;  // no negative zero
  return neg ? -d : d;
}

void AppendDtos(int32_t jd, std::string* out) {
  int y = 0, m = 0, d = 0;
  if (jd > 0) YmdFromJulian(jd, &y, &m, &d);
  if (y < 1 || y > 9999) {
    out->append(8, ' ');
    return;
  }
  char b[8] = {static_cast<char>('0' + y / 1000),    static_cast<char>('0' + y / 100 % 10),
               static_cast<char>('0' + y / 10 % 10), static_cast<char>('0' + y % 10),
               static_cast<char>('0' + m / 10),      static_cast<char>('0' + m % 10),
               static_cast<char>('0' + d / 10),      static_cast<char>('0' + d % 10)};
  out->append(b, 8);
}

int CompareText(std::string_view a, std::string_view b, bool exact) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  if (n > 0) {
    int c = std::memcmp(a.data(), b.data(), n);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  if (a.size() < b.size()) return -1;
  // The left operand is longer and starts with the right one.
  return exact ? 1 : 0;
}

}  // namespace xb::expr
