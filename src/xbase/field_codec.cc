#include "xbase/field_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace xb {
namespace {

int64_t GetLe(const char* p, int n) {
  uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(p[i]);
  if (n == 4) return static_cast<int32_t>(static_cast<uint32_t>(v));
  return static_cast<int64_t>(v);
}
void PutLe(char* p, int n, uint64_t v) {
  for (int i = 0; i < n; ++i) p[i] = static_cast<char>(v >> (8 * i));
}

const double kPow10[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
                         1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20};

// Plain "[-]digits[.digits]" with at most 15 significant digits: the value is
// an exact integer divided by an exact power of ten, which is the correctly
// rounded result strtod gives, at a fraction of its cost (numeric fields are
// read for every key and every FOR condition). Anything else: false.
bool ParseSimpleNumber(const char* p, int len, double* out) {
  int i = 0;
  while (i < len && p[i] == ' ') ++i;
  bool neg = false;
  if (i < len && p[i] == '-') {
    neg = true;
    ++i;
  }
  int64_t mant = 0;
  int digits = 0, frac = -1;
  for (; i < len; ++i) {
    char c = p[i];
    if (c >= '0' && c <= '9') {
      if (++digits > 15) return false;
      mant = mant * 10 + (c - '0');
      if (frac >= 0) ++frac;
    } else if (c == '.' && frac < 0) {
      frac = 0;
    } else {
      break;
    }
  }
  for (int j = i; j < len; ++j)
    if (p[j] != ' ' && p[j] != '\0') return false;
  if (digits == 0) return false;
  double v = static_cast<double>(mant);
  if (frac > 0) v /= kPow10[frac];
  *out = neg ? -v : v;
  return true;
}

double ParseNumber(const char* p, int len) {
  double fast;
  if (ParseSimpleNumber(p, len, &fast)) return fast;
  char buf[64];
  int n = 0;
  for (int i = 0; i < len && n < 63; ++i) {
    char c = p[i];
    if (c == ' ' || c == '\0') continue;
    if (c == ',') c = '.';
    buf[n++] = c;
  }
  buf[n] = 0;
  if (n == 0) return 0;
  char* end = nullptr;
  double v = std::strtod(buf, &end);
  if (end == buf || !std::isfinite(v)) return 0;  // "*****" or garbage reads as zero
  return v;
}

std::string Where(const FieldDef& f, const std::string& table) {
  return table + ": field " + f.name;
}

}  // namespace

bool FormatNumber(double v, int len, int dec, std::string* out) {
  if (!std::isfinite(v) || dec < 0 || dec > 18) return false;
  // Round half away from zero at `dec` places, as xBase does. Decimal
  // fractions such as 2.675 are stored a hair below the half, so the value is
  // nudged by a relative epsilon first.
  long double t = static_cast<long double>(v) * static_cast<long double>(kPow10[dec]);
  long double nudge = std::fabs(t) * 1e-13L;
  long double rounded = std::round(t >= 0 ? t + nudge : t - nudge);
  if (rounded == 0) rounded = 0;  // no "-0.00"
  // Fields of other engines can be up to 255 bytes wide: the buffer follows
  // the field, and text longer than the field is refused, never cut.
  if (len < 1) return false;
  if (std::fabs(rounded) < 1e18L) {
    // Digits of the rounded integer, with the point `dec` places from the
    // right: what printf prints for rounded / 10^dec, without its cost.
    char digits[48];
    int n = 0;
    auto mag = static_cast<uint64_t>(std::fabs(rounded));
    for (int i = 0; mag > 0 || i <= dec; ++i) {
      if (i == dec && dec > 0) digits[n++] = '.';
      digits[n++] = static_cast<char>('0' + mag % 10);
      mag /= 10;
    }
    if (rounded < 0) digits[n++] = '-';
    if (n > len) return false;
    out->assign(static_cast<size_t>(len - n), ' ');
    for (int i = n - 1; i >= 0; --i) out->push_back(digits[i]);
    return true;
  }
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  int n = std::snprintf(buf.data(), buf.size(), "%*.*Lf", len, dec,
                        rounded / static_cast<long double>(kPow10[dec]));
  if (n < 0 || n > len) return false;
  buf.resize(static_cast<size_t>(n));
  *out = std::move(buf);
  return true;
}

uint32_t DecodeMemoBlock(const FieldDef& f, const char* rec) {
  const char* p = rec + f.offset;
  if (f.len == 4) return static_cast<uint32_t>(GetLe(p, 4));
  uint64_t v = 0;
  for (int i = 0; i < f.len; ++i) {
    char c = p[i];
    if (c >= '0' && c <= '9') v = v * 10 + static_cast<uint64_t>(c - '0');
    else if (c != ' ' && c != '\0') return 0;
  }
  return v > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(v);
}

void EncodeMemoBlock(const FieldDef& f, uint32_t block, char* rec) {
  char* p = rec + f.offset;
  if (f.len == 4) {
    PutLe(p, 4, block);
    return;
  }
  if (block == 0) {
    std::memset(p, ' ', f.len);
    return;
  }
  std::string digits = std::to_string(block);
  std::memset(p, ' ', f.len);
  size_t n = std::min<size_t>(digits.size(), f.len);
  std::memcpy(p + f.len - n, digits.data() + digits.size() - n, n);
}

Value DecodeField(const FieldDef& f, const char* rec) {
  const char* p = rec + f.offset;
  switch (f.type) {
    case 'C':
      return Value::Char(std::string(p, f.len));
    case 'N': case 'F':
      return Value::Number(ParseNumber(p, f.len));
    case 'D':
      return Value::Date(JulianFromDtos(std::string(p, 8)));
    case 'L':
      return Value::Logical(p[0] == 'T' || p[0] == 't' || p[0] == 'Y' || p[0] == 'y');
    case 'I': {
      int64_t i = GetLe(p, f.len == 8 ? 8 : 4);
      if (f.dec > 0) return Value::Number(static_cast<double>(i) / kPow10[std::min<int>(f.dec, 20)]);
      return Value::Integer(i);
    }
    case 'B': {
      double d;
      uint64_t bits = static_cast<uint64_t>(GetLe(p, 8));
      std::memcpy(&d, &bits, 8);
      return Value::Number(d);
    }
    case 'Y':
      return Value::Number(static_cast<double>(GetLe(p, 8)) / 10000.0);
    case 'T': case '@': {
      Timestamp t{static_cast<int32_t>(GetLe(p, 4)), static_cast<int32_t>(GetLe(p + 4, 4))};
      return Value::Stamp(t);
    }
    case 'M': case 'G': case 'P': case 'W':
      return Value::Integer(DecodeMemoBlock(f, rec));
    default:
      return Value::Char(std::string(p, f.len));
  }
}

void BlankField(const FieldDef& f, char* rec) {
  char* p = rec + f.offset;
  switch (f.type) {
    case 'I': case 'B': case 'Y': case 'T': case '@':
      std::memset(p, 0, f.len);
      break;
    case 'M': case 'G': case 'P': case 'W':
      EncodeMemoBlock(f, 0, rec);
      break;
    default:
      std::memset(p, ' ', f.len);
  }
}

Status EncodeField(const FieldDef& f, const Value& v, char* rec, const std::string& table) {
  char* p = rec + f.offset;
  auto wrong = [&](const char* want) {
    return Status::InvalidArgument(Where(f, table) + " takes " + want + ", not " +
                                   v.DebugString());
  };
  switch (f.type) {
    case 'C': {
      if (!v.is_char()) return wrong("text");
      size_t n = std::min<size_t>(v.str().size(), f.len);
      std::memcpy(p, v.str().data(), n);
      std::memset(p + n, ' ', f.len - n);
      return Status::OK();
    }
    case 'N': case 'F': {
      if (!v.is_numeric()) return wrong("a number");
      std::string s;
      if (!FormatNumber(v.number(), f.len, f.dec, &s))
        return Status::InvalidArgument(Where(f, table) + ": " + v.DebugString() +
                                       " does not fit N(" + std::to_string(f.len) + "," +
                                       std::to_string(f.dec) + ")");
      std::memcpy(p, s.data(), f.len);
      return Status::OK();
    }
    case 'D': {
      if (v.type() != Value::Type::kDate) return wrong("a date");
      std::string s = DtosFromJulian(v.date());
      std::memcpy(p, s.data(), 8);
      return Status::OK();
    }
    case 'L':
      if (v.type() != Value::Type::kLogical) return wrong("a logical");
      p[0] = v.logical() ? 'T' : 'F';
      return Status::OK();
    case 'I': {
      if (!v.is_numeric()) return wrong("a number");
      double scaled = v.number() * kPow10[std::min<int>(f.dec, 20)];
      double r = std::round(scaled);
      double lim = f.len == 8 ? 9.2e18 : 2147483647.0;
      if (!std::isfinite(r) || std::fabs(r) > lim)
        return Status::InvalidArgument(Where(f, table) + ": " + v.DebugString() +
                                       " does not fit an integer field");
      PutLe(p, f.len == 8 ? 8 : 4, static_cast<uint64_t>(static_cast<int64_t>(r)));
      return Status::OK();
    }
    case 'B': {
      if (!v.is_numeric()) return wrong("a number");
      double d = v.number();
      uint64_t bits;
      std::memcpy(&bits, &d, 8);
      PutLe(p, 8, bits);
      return Status::OK();
    }
    case 'Y': {
      if (!v.is_numeric()) return wrong("a number");
      double r = std::round(v.number() * 10000.0);
      if (!std::isfinite(r) || std::fabs(r) > 9.2e18)
        return Status::InvalidArgument(Where(f, table) + ": " + v.DebugString() +
                                       " does not fit a currency field");
      PutLe(p, 8, static_cast<uint64_t>(static_cast<int64_t>(r)));
      return Status::OK();
    }
    case 'T': case '@': {
      Timestamp t;
      if (v.type() == Value::Type::kTimestamp) t = v.stamp();
      else if (v.type() == Value::Type::kDate) t = Timestamp{v.date(), 0};
      else return wrong("a date and time");
      if (t.ms < 0 || t.ms >= 86400000)
        return Status::InvalidArgument(Where(f, table) + ": time of day out of range");
      PutLe(p, 4, static_cast<uint32_t>(t.jd));
      PutLe(p + 4, 4, static_cast<uint32_t>(t.ms));
      return Status::OK();
    }
    default:
      return Status::NotSupported(Where(f, table) + ": cannot write fields of type " +
                                  std::string(1, f.type));
  }
}

}  // namespace xb
