// What a bad expression or a broken record source gets: clear messages that
// quote the expression, never a crash; and the evaluation API's promises.
#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <thread>

#include "expr_test_util.h"
#include "xbase/expr.h"

namespace xb {
namespace {

using testing::CompileError;
using testing::EmpleFields;
using testing::TestRecord;

TEST(ExprErrors, UnknownNamesAreQuotedWithTheExpression) {
  EXPECT_EQ(CompileError("NEGOCIO + FOO"),
            "expression \"NEGOCIO + FOO\": unknown field or function FOO");
  EXPECT_EQ(CompileError("FOO(1)"), "expression \"FOO(1)\": unknown field or function FOO");
  EXPECT_EQ(CompileError("SUB(NEGOCIO, 1)"),
            "expression \"SUB(NEGOCIO, 1)\": unknown field or function SUB");  // < 4 letters
  EXPECT_EQ(CompileError("M->NEGOCIO"),
            "expression \"M->NEGOCIO\": memory variables (M->NEGOCIO) are not available in index "
            "expressions");
  auto e = Expression::Compile("NEGOCIO", EmpleFields());
  EXPECT_TRUE(e.ok());
  auto bad = Expression::Compile("X", EmpleFields());
  EXPECT_EQ(bad.status().code(), Code::kInvalidArgument);
}

TEST(ExprErrors, ArgumentCountsAndTypes) {
  EXPECT_EQ(CompileError("LEFT(NEGOCIO)"),
            "expression \"LEFT(NEGOCIO)\": LEFT expects 2 arguments, got 1");
  EXPECT_EQ(CompileError("SUBS(NEGOCIO)"),
            "expression \"SUBS(NEGOCIO)\": SUBSTR expects 2 to 3 arguments, got 1");
  EXPECT_EQ(CompileError("DELETED(1)"),
            "expression \"DELETED(1)\": DELETED expects no arguments, got 1");
  EXPECT_EQ(CompileError("NEGOCIO + 1"),
            "expression \"NEGOCIO + 1\": operator + cannot combine character and numeric values");
  EXPECT_EQ(CompileError("UPPER(ACTIVO)"),
            "expression \"UPPER(ACTIVO)\": UPPER expects a character value as argument 1, not a "
            "numeric one");
  EXPECT_EQ(CompileError("IIF(SUPER, 1, 'A')"),
            "expression \"IIF(SUPER, 1, 'A')\": IIF needs both results of the same type, not "
            "numeric and character");
  EXPECT_NE(CompileError("IIF(ACTIVO, 1, 2)"), "");
  EXPECT_NE(CompileError("F_INGRESO + F_INGRESO"), "");
  EXPECT_NE(CompileError("NEGOCIO = 1"), "");
  EXPECT_NE(CompileError("ACTIVO .AND. SUPER"), "");
  EXPECT_NE(CompileError("-NEGOCIO"), "");
  EXPECT_NE(CompileError("!ACTIVO"), "");
  EXPECT_NE(CompileError("1 $ NEGOCIO"), "");
}

TEST(ExprErrors, SyntaxErrorsSayWhere) {
  EXPECT_EQ(CompileError("NEGOCIO +"),
            "expression \"NEGOCIO +\": syntax error: expected a value at the end");
  EXPECT_EQ(CompileError("(NEGOCIO"),
            "expression \"(NEGOCIO\": syntax error: expected ')' at the end");
  EXPECT_EQ(CompileError("NEGOCIO CODIGO"),
            "expression \"NEGOCIO CODIGO\": syntax error: expected an operator at position 9");
  EXPECT_EQ(CompileError("LEFT(NEGOCIO,,2)"),
            "expression \"LEFT(NEGOCIO,,2)\": syntax error: expected a value at position 14");
  EXPECT_EQ(CompileError("NEGOCIO + \"ABC"),
            "expression \"NEGOCIO + \"ABC\": unterminated string at position 11");
  EXPECT_EQ(CompileError("NEGOCIO + ?"),
            "expression \"NEGOCIO + ?\": unexpected character '?' at position 11");
  EXPECT_EQ(CompileError("\xF1"),
            "expression \"\xF1\": unexpected character byte 0xF1 at position 1");
  EXPECT_EQ(CompileError("&CAMPO"),
            "expression \"&CAMPO\": macro substitution (&) is not allowed at position 1");
  EXPECT_EQ(CompileError("X := 1"),
            "expression \"X := 1\": assignment (:=) is not allowed at position 3");
  EXPECT_EQ(CompileError("  "), "expression \"  \": the expression is empty");
  EXPECT_NE(CompileError("1."), "");
  EXPECT_NE(CompileError("NEGOCIO.AND."), "");
}

TEST(ExprErrors, FunctionsThatCannotMakeAStableKey) {
  EXPECT_EQ(CompileError("DTOS(DATE())"),
            "expression \"DTOS(DATE())\": DATE() changes with the clock; an index key or "
            "condition must depend on the record alone");
  EXPECT_NE(CompileError("TIME()"), "");
  EXPECT_NE(CompileError("DTOC(F_INGRESO)").find("SET DATE"), std::string::npos);
  EXPECT_NE(CompileError("CTOD('01/02/2024')").find("SET DATE"), std::string::npos);
  EXPECT_EQ(CompileError("CTOD('') == F_INGRESO"), "");
  EXPECT_NE(CompileError("TRANSFORM(ACTIVO, '9')"), "");
}

TEST(ExprErrors, CharacterResultsNeedAFixedNonZeroLength) {
  EXPECT_NE(CompileError("COMENTA").find("not fixed"), std::string::npos);
  EXPECT_NE(CompileError("NEGOCIO + COMENTA"), "");
  EXPECT_NE(CompileError("STR(TOT_SAL, ACTIVO + 5)"), "");
  EXPECT_NE(CompileError("PADR(NEGOCIO, ACTIVO)"), "");
  EXPECT_EQ(CompileError("LEFT(STR(TOT_SAL, ACTIVO + 5), 4)"), "");
  EXPECT_EQ(CompileError("'nota' $ COMENTA"), "");  // conditions have no key length
  EXPECT_NE(CompileError("''"), "");
  EXPECT_NE(CompileError("LEFT(NEGOCIO, 0)"), "");
}

TEST(ExprErrors, DeepNestingIsRefusedNotACrash) {
  std::string deep = std::string(1500, '(') + "1" + std::string(1500, ')');
  EXPECT_NE(CompileError(deep).find("nested too deeply"), std::string::npos);
  std::string nots(3000, '!');
  EXPECT_NE(CompileError(nots + "SUPER"), "");
  EXPECT_EQ(CompileError(std::string(50, '(') + "ACTIVO" + std::string(50, ')')), "");
  std::string chain = "NEGOCIO";
  while (chain.size() < 5000) chain += "+NEGOCIO";
  EXPECT_NE(CompileError(chain).find("longer than 4096 bytes"), std::string::npos);
}

// A source whose values do not match the structure is a bug above us: the
// evaluation fails with a message naming the field. Nulls read as blanks.
TEST(ExprErrors, RecordSourceGivingWrongTypes) {
  TestRecord rec;
  rec.values[4] = Value::Char("154.13");
  auto e = Expression::Compile("STR(TOT_SAL, 10, 2)", EmpleFields());
  ASSERT_TRUE(e.ok());
  auto v = (*e)->Evaluate(rec);
  ASSERT_FALSE(v.ok());
  EXPECT_NE(v.status().message().find("field TOT_SAL"), std::string::npos);
  EXPECT_NE(v.status().message().find("\"STR(TOT_SAL, 10, 2)\""), std::string::npos);

  TestRecord nulls;
  for (Value& val : nulls.values) val = Value();
  auto key = Expression::Compile("NEGOCIO + DTOS(F_INGRESO) + STR(ACTIVO, 1)", EmpleFields());
  ASSERT_TRUE(key.ok());
  auto k = (*key)->Evaluate(nulls);
  ASSERT_TRUE(k.ok());
  EXPECT_EQ(k->str(), std::string(23, ' ') + "0");
}

TEST(ExprApi, CharacterFieldsKeepTheirWidthWhateverTheSourceGives) {
  TestRecord rec;
  rec.values[0] = Value::Char("HOTEL");                    // trimmed
  rec.values[1] = Value::Char("109988-1        toolong");  // too long
  auto e = Expression::Compile("NEGOCIO + CODIGO", EmpleFields());
  ASSERT_TRUE(e.ok());
  EXPECT_EQ((*e)->Evaluate(rec)->str(), "HOTEL          109988-1       ");
}

class BytesOnlyRecord : public TestRecord {
 public:
  Value GetField(int index) const override {
    if (index < 3) return Value::Number(0);  // the fast path must be used for C fields
    return TestRecord::GetField(index);
  }
  bool GetCharField(int index, std::string_view* bytes) const override {
    if (index >= 3) return false;
    *bytes = values[index].str();
    return true;
  }
};

TEST(ExprApi, CharacterFieldsComeFromTheZeroCopyPathWhenOffered) {
  auto e = Expression::Compile("NEGOCIO + UPPER(NOMBRE) + STR(ACTIVO, 1)", EmpleFields());
  ASSERT_TRUE(e.ok());
  auto fast = (*e)->Evaluate(BytesOnlyRecord());
  ASSERT_TRUE(fast.ok()) << fast.status().ToString();
  EXPECT_EQ(fast->str(), (*e)->Evaluate(TestRecord())->str());
}

TEST(ExprApi, EvaluateIntoReusesTheBuffer) {
  auto e = Expression::Compile("NEGOCIO + UPPER(NOMBRE)", EmpleFields());
  ASSERT_TRUE(e.ok());
  TestRecord a, b;
  b.values[0] = Value::Char(TestRecord::Pad("OFICINAS", 15));
  Value out;
  ASSERT_TRUE((*e)->EvaluateInto(a, &out).ok());
  const char* data = out.str().data();
  ASSERT_TRUE((*e)->EvaluateInto(b, &out).ok());
  EXPECT_EQ(out.str().data(), data);
  EXPECT_EQ(out.str().substr(0, 15), TestRecord::Pad("OFICINAS", 15));
  EXPECT_EQ(static_cast<int>(out.str().size()), (*e)->result_length());
  // The same Value can take results of another type afterwards.
  auto n = Expression::Compile("TOT_SAL", EmpleFields());
  ASSERT_TRUE((*n)->EvaluateInto(a, &out).ok());
  EXPECT_EQ(out.number(), 154.13);
}

TEST(ExprApi, ConcurrentEvaluationsOfOneExpression) {
  auto e = Expression::Compile("IIF(SUBSTR(NEGOCIO, 7, 4) = 'CENT', UPPER(NOMBRE), NEGOCIO) = 'MO'",
                               EmpleFields());
  ASSERT_TRUE(e.ok());
  auto run = [&](bool* ok) {
    TestRecord rec;
    Value out;
    for (int i = 0; i < 20000; ++i) {
      if (!(*e)->EvaluateInto(rec, &out).ok() || !out.logical()) *ok = false;
    }
  };
  bool ok1 = true, ok2 = true;
  std::thread t1(run, &ok1), t2(run, &ok2);
  t1.join();
  t2.join();
  EXPECT_TRUE(ok1 && ok2);
}

// Random token soup: whatever compiles must evaluate, and nothing may crash
// (run under a sanitizer to catch memory faults).
TEST(ExprRobustness, RandomExpressionsNeverCrash) {
  static const char* kPieces[] = {"NEGOCIO",
                                  "CODIGO",
                                  "NOMBRE",
                                  "ACTIVO",
                                  "TOT_SAL",
                                  "F_INGRESO",
                                  "SUPER",
                                  "COMENTA",
                                  "ID",
                                  "MOMENTO",
                                  "'AB '",
                                  "''",
                                  "[x]",
                                  "0",
                                  "-1",
                                  "2.5",
                                  "1e",
                                  ".T.",
                                  ".F.",
                                  "+",
                                  "-",
                                  "*",
                                  "/",
                                  "%",
                                  "^",
                                  "=",
                                  "==",
                                  "!=",
                                  "<",
                                  ">=",
                                  "$",
                                  ".AND.",
                                  ".OR.",
                                  "!",
                                  "(",
                                  ")",
                                  ",",
                                  "->",
                                  ".",
                                  "STR(",
                                  "SUBSTR(",
                                  "LEFT(",
                                  "RIGHT(",
                                  "PADL(",
                                  "PADC(",
                                  "UPPER(",
                                  "ALLTRIM(",
                                  "DTOS(",
                                  "STOD(",
                                  "VAL(",
                                  "IIF(",
                                  "LEN(",
                                  "EMPTY(",
                                  "STRZERO(",
                                  "ROUND(",
                                  "YEAR(",
                                  "TRIM(",
                                  "LTRIM(",
                                  "RECNO()",
                                  "DELETED()",
                                  "999999999999",
                                  "-99999"};
  std::mt19937 rng(12345);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> count(1, 12);
  TestRecord rec;
  int compiled = 0;
  for (int i = 0; i < 30000; ++i) {
    std::string text;
    for (int n = count(rng); n > 0; --n) (text += kPieces[piece(rng)]) += ' ';
    auto e = Expression::Compile(text, EmpleFields());
    if (!e.ok()) {
      EXPECT_EQ(e.status().message().rfind("expression \"" + text + "\": ", 0), 0u);
      continue;
    }
    ++compiled;
    auto v = (*e)->Evaluate(rec);
    ASSERT_TRUE(v.ok()) << text << ": " << v.status().ToString();
    if (v->is_char()) {
      // The computed key length must hold every value: LEN sees the value
      // before it is padded to that length.
      auto len = Expression::Compile("LEN(" + text + ")", EmpleFields());
      ASSERT_TRUE(len.ok()) << text;
      EXPECT_LE((*len)->Evaluate(rec)->number(), (*e)->result_length()) << text;
    }
  }
  EXPECT_GT(compiled, 500);
}

}  // namespace
}  // namespace xb
