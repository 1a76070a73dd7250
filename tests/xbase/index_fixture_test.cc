// Tags of the tables another engine wrote: our walk of each tag gives the
// manifest's orders and our computed keys are the ones it stored; tags we
// build ourselves from the same records give the same orders and pass the
// integrity check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "support/manifest.h"
#include "support/temp_dir.h"
#include "xbase/key_encoding.h"
#include "xbase/table.h"

namespace xb {
namespace {

using qztest::Manifest;

std::vector<uint32_t> WalkTag(Table* t, const std::string& tag) {
  std::vector<uint32_t> out;
  EXPECT_TRUE(t->SetOrder(tag).ok());
  Status s = t->GoTop();
  while (s.ok() && !t->Eof()) {
    out.push_back(t->RecNo());
    s = t->Skip(1);
  }
  EXPECT_TRUE(s.ok()) << s.ToString();
  return out;
}

std::vector<uint32_t> WalkTagBackward(Table* t, const std::string& tag) {
  std::vector<uint32_t> out;
  EXPECT_TRUE(t->SetOrder(tag).ok());
  Status s = t->GoBottom();
  while (s.ok() && !t->Eof()) {
    out.push_back(t->RecNo());
    s = t->Skip(-1);
    if (t->Bof()) break;
  }
  std::reverse(out.begin(), out.end());
  return out;
}

std::vector<uint32_t> Ints(const nlohmann::json& a) {
  std::vector<uint32_t> v;
  for (const auto& x : a) v.push_back(x.get<uint32_t>());
  return v;
}

void ExpectOrdersMatch(Table* t, const nlohmann::json& m) {
  for (const auto& tag : m["tags"]) {
    std::string name = tag["name"].get<std::string>();
    SetDeletedHidden(false);
    EXPECT_EQ(WalkTag(t, name), Ints(tag["order_all"])) << name << " (deleted shown)";
    SetDeletedHidden(true);
    EXPECT_EQ(WalkTag(t, name), Ints(tag["order_visible"])) << name;
    EXPECT_EQ(WalkTagBackward(t, name), Ints(tag["order_visible"])) << name << " backward";
    // The stored keys of the samples are the keys we compute.
    for (const auto& sk : tag["sample_keys"]) {
      uint32_t recno = sk["recno"].get<uint32_t>();
      SetDeletedHidden(false);
      ASSERT_TRUE(t->GoTo(recno).ok());
      auto key = t->CurrentKey();
      SetDeletedHidden(true);
      ASSERT_TRUE(key.ok()) << key.status().ToString();
      if (sk["key"].contains("hex")) {
        std::string hex = sk["key"]["hex"].get<std::string>();
        std::string bytes;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
          bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        EXPECT_EQ(*key, bytes.substr(0, key->size())) << name << " rec " << recno;
      } else {
        const auto& v = sk["key"]["value"];
        auto info = t->Tags();
        auto it = std::find_if(info.begin(), info.end(), [&](const TagInfo& i) { return i.name == name; });
        ASSERT_NE(it, info.end());
        Value dv = DecodeKey(*key, static_cast<KeyType>(it->key_type));
        if (v.is_number()) {
          EXPECT_NEAR(dv.number(), v.get<double>(), 1e-9) << name << " rec " << recno;
        } else {
          EXPECT_EQ(DtosFromJulian(dv.date()), v.get<std::string>()) << name << " rec " << recno;
        }
      }
    }
  }
}

class FixtureIndexes : public ::testing::TestWithParam<std::string> {};

TEST_P(FixtureIndexes, OrdersAndKeysMatchTheManifest) {
  OpenOptions o;
  o.read_only = true;
  auto t = Table::Open(qztest::FixturePath(GetParam() + ".dbf"), o);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_EQ((*t)->Tags().size(), Manifest(GetParam())["tags"].size());
  ExpectOrdersMatch(t->get(), Manifest(GetParam()));
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_P(FixtureIndexes, TagsWeBuildGiveTheSameOrders) {
  qztest::TempDir dir;
  dir.CopyFixture(GetParam());
  const auto& m = Manifest(GetParam());
  {
    OpenOptions o;
    o.exclusive = true;
    o.open_index = false;
    auto t = Table::Open(dir.file(GetParam() + ".dbf"), o);
    ASSERT_TRUE(t.ok());
    std::filesystem::remove(dir.file(GetParam() + ".cdx"));
    for (const auto& tag : m["tags"]) {
      std::string key = tag["key"].get<std::string>();
      Status s = (*t)->CreateTag(tag["name"].get<std::string>(), key, tag["for"].get<std::string>(),
                                 tag["descending"].get<bool>());
      ASSERT_TRUE(s.ok()) << s.ToString();
    }
    ASSERT_TRUE((*t)->Close().ok());
  }
  auto t = Table::Open(dir.file(GetParam() + ".dbf"));
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ExpectOrdersMatch(t->get(), m);
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
}

INSTANTIATE_TEST_SUITE_P(All, FixtureIndexes, ::testing::Values("EMPLE", "PUESTOS", "TIPOS", "VACIA"));

TEST(FixtureIndexSeek, SeekScopeAndKeyCountOnTheEmployeeTable) {
  OpenOptions o;
  o.read_only = true;
  auto t = Table::Open(qztest::FixturePath("EMPLE.dbf"), o);
  ASSERT_TRUE(t.ok());
  Table& e = **t;
  ASSERT_TRUE(e.SetOrder("EMPLE2").ok());  // NEGOCIO + DEPTO + CODIGO
  std::string biz = "HOTEL PLAYA    ";
  ASSERT_TRUE(e.Seek(Value::Char(biz + "COCINA")).ok());
  ASSERT_TRUE(e.Found());
  EXPECT_EQ(e.Get("NEGOCIO")->str(), biz);
  EXPECT_EQ(e.Get("DEPTO")->str().substr(0, 6), "COCINA");
  // A soft seek of a missing department stops on the next one.
  ASSERT_TRUE(e.Seek(Value::Char(biz + "CZZ"), true).ok());
  EXPECT_FALSE(e.Found());
  EXPECT_FALSE(e.Eof());
  EXPECT_GT(e.Get("DEPTO")->str(), std::string("CZZ"));
  // An exact miss is end of file.
  ASSERT_TRUE(e.Seek(Value::Char(biz + "CZZ")).ok());
  EXPECT_TRUE(e.Eof());
  // Scope to one business: key count equals the visible rows of that business.
  const auto& m = Manifest("EMPLE");
  uint32_t expected = 0;
  for (const auto& r : m["records"])
    if (!r["deleted"].get<bool>() && FromUtf8(r["values"][0].get<std::string>()) == biz) ++expected;
  ASSERT_TRUE(e.SetScope(Value::Char(biz), Value::Char(biz)).ok());
  EXPECT_EQ(*e.KeyCount(), expected);
  uint32_t walked = 0;
  for (Status s = e.GoTop(); s.ok() && !e.Eof(); s = e.Skip(1)) {
    ASSERT_EQ(e.Get("NEGOCIO")->str(), biz);
    ++walked;
  }
  EXPECT_EQ(walked, expected);
  // Seek "last" finds the last entry of a repeated key.
  ASSERT_TRUE(e.ClearScope().ok());
  ASSERT_TRUE(e.SetOrder("EMPLE6").ok());  // TOT_SAL, numeric
  ASSERT_TRUE(e.GoTop().ok());
  double lowest = e.Get("TOT_SAL")->number();
  ASSERT_TRUE(e.Seek(Value::Number(lowest)).ok());
  EXPECT_TRUE(e.Found());
  EXPECT_EQ(e.Get("TOT_SAL")->number(), lowest);
  EXPECT_FALSE(e.Seek(Value::Char("x")).ok());  // wrong key type for a numeric tag
}

}  // namespace
}  // namespace xb

namespace xb {
namespace {

TEST(FixtureIndexSeek, SavedScopeComesBackAfterABorrowedOrder) {
  OpenOptions o;
  o.read_only = true;
  auto t = Table::Open(qztest::FixturePath("PUESTOS.dbf"), o);
  ASSERT_TRUE(t.ok());
  Table& p = **t;
  ASSERT_TRUE(p.SetOrder("PUESTOS").ok());
  ASSERT_TRUE(p.SetScope(Value::Char("HOTEL PLAYA"), Value::Char("HOTEL PLAYA")).ok());
  Table::ScopeKeys saved = p.SavedScope();
  ASSERT_TRUE(p.SetOrder("PUESTOS2").ok());  // someone borrows the table
  ASSERT_TRUE(p.SetOrder("PUESTOS").ok());
  ASSERT_TRUE(p.RestoreScope(saved).ok());
  EXPECT_EQ(*p.KeyCount(), 2u);
}

}  // namespace
}  // namespace xb
