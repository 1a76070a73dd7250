// Helpers for the expression tests: an EMPLE-like structure and a record
// whose values the test sets.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xbase/expr.h"

namespace xb::testing {

// NEGOCIO C15, CODIGO C15, NOMBRE C40, ACTIVO N1, TOT_SAL N15.2, F_INGRESO D,
// SUPER L, COMENTA M, ID I, MOMENTO T.
inline FieldList EmpleFields() {
  auto f = [](const char* name, char type, int len, int dec = 0) {
    FieldDef d;
    d.name = name;
    d.type = type;
    d.len = static_cast<uint8_t>(len);
    d.dec = static_cast<uint8_t>(dec);
    return d;
  };
  return {f("NEGOCIO", 'C', 15), f("CODIGO", 'C', 15),     f("NOMBRE", 'C', 40),
          f("ACTIVO", 'N', 1),   f("TOT_SAL", 'N', 15, 2), f("F_INGRESO", 'D', 8),
          f("SUPER", 'L', 1),    f("COMENTA", 'M', 10),    f("ID", 'I', 4),
          f("MOMENTO", 'T', 8)};
}

class TestRecord : public FieldSource {
 public:
  TestRecord() {
    values = {Value::Char(Pad("HOTEL CENTRAL", 15)),
              Value::Char(Pad("109988-1", 15)),
              Value::Char(Pad("Mo\xF1"
                              "a Qu\xE9"
                              "mez",
                              40)),
              Value::Number(1),
              Value::Number(154.13),
              Value::Date(JulianFromDtos("20100122")),
              Value::Logical(false),
              Value::Char("nota larga"),
              Value::Integer(-993),
              Value::Stamp(Timestamp{JulianFromDtos("20240124"), 37843200})};
  }
  static std::string Pad(const std::string& s, size_t n) {
    return s + std::string(n - s.size(), ' ');
  }

  Value GetField(int index) const override { return values[index]; }
  bool IsDeleted() const override { return deleted; }
  uint32_t RecNo() const override { return 7; }

  std::vector<Value> values;
  bool deleted = false;
};

// Compiles `text` against EmpleFields and evaluates it on `rec`; fails the
// test when either step fails.
inline Value Eval(const std::string& text, const FieldSource& rec = TestRecord()) {
  auto e = Expression::Compile(text, EmpleFields());
  EXPECT_TRUE(e.ok()) << e.status().ToString();
  if (!e.ok()) return Value();
  auto v = (*e)->Evaluate(rec);
  EXPECT_TRUE(v.ok()) << v.status().ToString();
  return v.ok() ? v.value() : Value();
}

inline std::string Text(const std::string& text, const FieldSource& rec = TestRecord()) {
  Value v = Eval(text, rec);
  EXPECT_TRUE(v.is_char()) << text;
  return v.str();
}

inline double Num(const std::string& text, const FieldSource& rec = TestRecord()) {
  Value v = Eval(text, rec);
  EXPECT_TRUE(v.is_numeric()) << text;
  return v.number();
}

inline bool Cond(const std::string& text, const FieldSource& rec = TestRecord()) {
  Value v = Eval(text, rec);
  EXPECT_EQ(v.type(), Value::Type::kLogical) << text;
  return v.logical();
}

inline int Length(const std::string& text) {
  auto e = Expression::Compile(text, EmpleFields());
  EXPECT_TRUE(e.ok()) << e.status().ToString();
  return e.ok() ? (*e)->result_length() : -1;
}

// The message of a failed compilation ("" when it compiled).
inline std::string CompileError(const std::string& text) {
  auto e = Expression::Compile(text, EmpleFields());
  return e.ok() ? "" : e.status().message();
}

}  // namespace xb::testing
