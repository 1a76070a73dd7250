// Typed field and expression values, and the calendar helpers the engine needs.
// Dates are Julian day numbers (as FoxPro stores them in T fields and index
// keys); 0 is the empty date.
#pragma once

#include <cstdint>
#include <string>

namespace xb {

// Julian day number <-> calendar date. Returns 0 for an impossible date.
int32_t JulianFromYmd(int y, int m, int d);
void YmdFromJulian(int32_t jd, int* y, int* m, int* d);
// "YYYYMMDD" <-> Julian; blanks or an invalid text give 0 (the empty date).
int32_t JulianFromDtos(const std::string& s);
std::string DtosFromJulian(int32_t jd);  // 8 blanks for 0

struct Timestamp {
  int32_t jd = 0;  // day; 0 = empty
  int32_t ms = 0;  // milliseconds since midnight
  bool operator==(const Timestamp&) const = default;
};

class Value {
 public:
  enum class Type { kNull, kChar, kNumber, kDate, kLogical, kInteger, kTimestamp };

  Value() = default;
  static Value Char(std::string s) { Value v; v.type_ = Type::kChar; v.str_ = std::move(s); return v; }
  static Value Number(double d) { Value v; v.type_ = Type::kNumber; v.num_ = d; return v; }
  static Value Integer(int64_t i) { Value v; v.type_ = Type::kInteger; v.int_ = i; return v; }
  static Value Date(int32_t jd) { Value v; v.type_ = Type::kDate; v.int_ = jd; return v; }
  static Value Logical(bool b) { Value v; v.type_ = Type::kLogical; v.int_ = b ? 1 : 0; return v; }
  static Value Stamp(Timestamp t) {
    Value v; v.type_ = Type::kTimestamp; v.int_ = t.jd; v.ms_ = t.ms; return v;
  }

  Type type() const { return type_; }
  bool is_null() const { return type_ == Type::kNull; }
  bool is_char() const { return type_ == Type::kChar; }
  // Numbers and integers are both numeric to expressions.
  bool is_numeric() const { return type_ == Type::kNumber || type_ == Type::kInteger; }

  const std::string& str() const { return str_; }
  std::string& mutable_str() { return str_; }
  double number() const { return type_ == Type::kInteger ? static_cast<double>(int_) : num_; }
  int64_t integer() const { return type_ == Type::kNumber ? static_cast<int64_t>(num_) : int_; }
  int32_t date() const { return static_cast<int32_t>(int_); }
  bool logical() const { return int_ != 0; }
  Timestamp stamp() const { return Timestamp{static_cast<int32_t>(int_), ms_}; }

  bool operator==(const Value& o) const;
  std::string DebugString() const;

 private:
  Type type_ = Type::kNull;
  std::string str_;
  double num_ = 0;
  int64_t int_ = 0;
  int32_t ms_ = 0;
};

}  // namespace xb
