// FoxPro binary key encodings. A number (and a date, as its Julian day
// number) is kept as an IEEE double in big-endian byte order with the sign bit
// flipped for non-negative values and every bit inverted for negative ones, so
// that an unsigned byte comparison orders the keys like the values.
#include "xbase/key_encoding.h"

#include <cmath>
#include <cstring>

namespace xb {
namespace {

std::string EncodeDouble(double d) {
  if (d == 0) d = 0;  // -0.0 sorts and reads as 0
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  if (bits & 0x8000000000000000ULL) {
    bits = ~bits;
  } else {
    bits |= 0x8000000000000000ULL;
  }
  std::string out(8, '\0');
  for (int i = 7; i >= 0; --i) {
    out[i] = static_cast<char>(bits & 0xFF);
    bits >>= 8;
  }
  return out;
}

double DecodeDouble(const std::string& key) {
  uint64_t bits = 0;
  for (size_t i = 0; i < 8; ++i) {
    unsigned char c = i < key.size() ? static_cast<unsigned char>(key[i]) : 0;
    bits = (bits << 8) | c;
  }
  if (bits & 0x8000000000000000ULL) {
    bits &= ~0x8000000000000000ULL;
  } else {
    bits = ~bits;
  }
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

Status TypeMismatch(const Value& v, KeyType type) {
  return Status::InvalidArgument("index key of type " + std::string(1, static_cast<char>(type)) +
                                 " cannot hold the value " + v.DebugString());
}

}  // namespace

Result<std::string> EncodeKey(const Value& v, KeyType type, int len) {
  if (len <= 0) return Status::InvalidArgument("index key length must be positive");
  switch (type) {
    case KeyType::kChar: {
      if (!v.is_char()) return TypeMismatch(v, type);
      std::string s = v.str();
      s.resize(static_cast<size_t>(len), ' ');
      return s;
    }
    case KeyType::kNumber: {
      if (!v.is_numeric()) return TypeMismatch(v, type);
      if (len != 8) return Status::InvalidArgument("numeric index keys are 8 bytes long");
      if (std::isnan(v.number())) return Status::InvalidArgument("NaN cannot be an index key");
      return EncodeDouble(v.number());
    }
    case KeyType::kDate: {
      if (len != 8) return Status::InvalidArgument("date index keys are 8 bytes long");
      if (v.type() == Value::Type::kDate) return EncodeDouble(static_cast<double>(v.date()));
      if (v.type() == Value::Type::kTimestamp) {
        // FoxPro keeps a datetime as the day number plus the fraction of the day.
        Timestamp t = v.stamp();
        return EncodeDouble(t.jd == 0 ? 0.0 : t.jd + t.ms / 86400000.0);
      }
      return TypeMismatch(v, type);
    }
    case KeyType::kLogical: {
      if (v.type() != Value::Type::kLogical) return TypeMismatch(v, type);
      if (len != 1) return Status::InvalidArgument("logical index keys are 1 byte long");
      return std::string(1, v.logical() ? 'T' : 'F');
    }
  }
  return Status::InvalidArgument("unknown index key type");
}

Value DecodeKey(const std::string& key, KeyType type) {
  switch (type) {
    case KeyType::kChar:
      return Value::Char(key);
    case KeyType::kNumber:
      return Value::Number(DecodeDouble(key));
    case KeyType::kDate: {
      double d = DecodeDouble(key);
      if (!(d > 0) || d > 1e8) return Value::Date(0);
      double day = std::floor(d);
      if (d != day) {
        return Value::Stamp(Timestamp{static_cast<int32_t>(day),
                                      static_cast<int32_t>(std::lround((d - day) * 86400000.0))});
      }
      return Value::Date(static_cast<int32_t>(day));
    }
    case KeyType::kLogical:
      return Value::Logical(!key.empty() && (key[0] == 'T' || key[0] == 't'));
  }
  return Value();
}

}  // namespace xb
