#include "xbase/value.h"

#include <cstdio>

namespace xb {

int32_t JulianFromYmd(int y, int m, int d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return 0;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  int dim = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
  if (d > dim) return 0;
  // Fliegel & Van Flandern, proleptic Gregorian.
  int a = (14 - m) / 12;
  int yy = y + 4800 - a;
  int mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

void YmdFromJulian(int32_t jd, int* y, int* m, int* d) {
  if (jd <= 0) { *y = *m = *d = 0; return; }
  int64_t a = jd + 32044;
  int64_t b = (4 * a + 3) / 146097;
  int64_t c = a - 146097 * b / 4;
  int64_t dd = (4 * c + 3) / 1461;
  int64_t e = c - 1461 * dd / 4;
  int64_t mm = (5 * e + 2) / 153;
  *d = static_cast<int>(e - (153 * mm + 2) / 5 + 1);
  *m = static_cast<int>(mm + 3 - 12 * (mm / 10));
  *y = static_cast<int>(100 * b + dd - 4800 + mm / 10);
}

int32_t JulianFromDtos(const std::string& s) {
  if (s.size() < 8) return 0;
  int v[8];
  for (int i = 0; i < 8; ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v[i] = s[i] - '0';
  }
  int y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
  int m = v[4] * 10 + v[5];
  int d = v[6] * 10 + v[7];
  return JulianFromYmd(y, m, d);
}

std::string DtosFromJulian(int32_t jd) {
  if (jd <= 0) return std::string(8, ' ');
  int y, m, d;
  YmdFromJulian(jd, &y, &m, &d);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
  return buf;
}

bool Value::operator==(const Value& o) const {
  if (is_numeric() && o.is_numeric()) return number() == o.number();
  if (type_ != o.type_) return false;
  switch (type_) {
    case Type::kNull: return true;
    case Type::kChar: return str_ == o.str_;
    case Type::kTimestamp: return int_ == o.int_ && ms_ == o.ms_;
    default: return int_ == o.int_;
  }
}

std::string Value::DebugString() const {
  switch (type_) {
    case Type::kNull: return "NULL";
    case Type::kChar: return "\"" + str_ + "\"";
    case Type::kNumber: return std::to_string(num_);
    case Type::kInteger: return std::to_string(int_);
    case Type::kDate: return "D:" + DtosFromJulian(date());
    case Type::kLogical: return logical() ? ".T." : ".F.";
    case Type::kTimestamp: return "T:" + DtosFromJulian(date()) + "+" + std::to_string(ms_) + "ms";
  }
  return "?";
}

}  // namespace xb
