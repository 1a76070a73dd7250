#include "xbase/key_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace xb {
namespace {

std::string Hex(const std::string& s) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : s) {
    r += d[c >> 4];
    r += d[c & 15];
  }
  return r;
}

std::string Num(double d) {
  auto r = EncodeKey(Value::Number(d), KeyType::kNumber, 8);
  EXPECT_TRUE(r.ok()) << r.status().ToString();
  return r.ok() ? *r : std::string();
}

TEST(KeyEncoding, NumbersAreFoxProSortableDoubles) {
  EXPECT_EQ(Hex(Num(0)), "8000000000000000");
  EXPECT_EQ(Hex(Num(-0.0)), "8000000000000000");
  EXPECT_EQ(Hex(Num(1)), "BFF0000000000000");
  EXPECT_EQ(Hex(Num(-1)), "400FFFFFFFFFFFFF");
  EXPECT_EQ(Hex(Num(2.5)), "C004000000000000");
  EXPECT_EQ(DecodeKey(Num(-320.07), KeyType::kNumber).number(), -320.07);
  EXPECT_EQ(DecodeKey(Num(123456.78), KeyType::kNumber).number(), 123456.78);
}

TEST(KeyEncoding, ByteOrderIsNumericOrder) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> dist(-1e6, 1e6);
  std::vector<double> v{0, -0.5, 0.5, 1e-300, -1e-300, 1e300, -1e300};
  for (int i = 0; i < 2000; ++i) v.push_back(std::round(dist(rng) * 100) / 100);
  std::vector<std::string> keys;
  for (double d : v) keys.push_back(Num(d));
  std::sort(v.begin(), v.end());
  std::sort(keys.begin(), keys.end());
  for (size_t i = 0; i < v.size(); ++i)
    EXPECT_EQ(DecodeKey(keys[i], KeyType::kNumber).number(), v[i]);
}

TEST(KeyEncoding, IntegersEncodeAsNumbers) {
  auto r = EncodeKey(Value::Integer(-993), KeyType::kNumber, 8);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(*r, Num(-993));
}

TEST(KeyEncoding, DatesAreJulianDayNumbers) {
  int32_t jd = JulianFromYmd(2000, 1, 10);
  auto r = EncodeKey(Value::Date(jd), KeyType::kDate, 8);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(*r, Num(jd));
  EXPECT_EQ(DecodeKey(*r, KeyType::kDate).date(), jd);
  auto empty = EncodeKey(Value::Date(0), KeyType::kDate, 8);
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(Hex(*empty), "8000000000000000");
  EXPECT_EQ(DecodeKey(*empty, KeyType::kDate).date(), 0);
  EXPECT_LT(*empty, *r);  // empty dates sort first
}

TEST(KeyEncoding, LogicalsAreTOrF) {
  EXPECT_EQ(*EncodeKey(Value::Logical(true), KeyType::kLogical, 1), "T");
  EXPECT_EQ(*EncodeKey(Value::Logical(false), KeyType::kLogical, 1), "F");
  EXPECT_TRUE(DecodeKey("T", KeyType::kLogical).logical());
  EXPECT_FALSE(DecodeKey("F", KeyType::kLogical).logical());
}

TEST(KeyEncoding, CharactersArePaddedWithBlanksOrCut) {
  EXPECT_EQ(*EncodeKey(Value::Char("AB"), KeyType::kChar, 5), "AB   ");
  EXPECT_EQ(*EncodeKey(Value::Char("ABCDEFG"), KeyType::kChar, 3), "ABC");
  EXPECT_EQ(DecodeKey("AB   ", KeyType::kChar).str(), "AB   ");
}

TEST(KeyEncoding, MismatchedTypesAreRefused) {
  EXPECT_FALSE(EncodeKey(Value::Char("1"), KeyType::kNumber, 8).ok());
  EXPECT_FALSE(EncodeKey(Value::Number(1), KeyType::kChar, 8).ok());
  EXPECT_FALSE(EncodeKey(Value::Number(1), KeyType::kNumber, 4).ok());
  EXPECT_FALSE(EncodeKey(Value::Logical(true), KeyType::kDate, 8).ok());
}

}  // namespace
}  // namespace xb
