// The compound indexes written by Harbour's DBFCDX: every tag walks in the
// manifest's order both ways, stores the manifest's keys, and seeks them.
#include <algorithm>
#include <map>

#include "cdx_test_util.h"
#include "xbase/key_encoding.h"

namespace xb {
namespace {

using testing::Entries;

// Numeric and date tags are told by their sample keys.
KeyType TypeOf(const nlohmann::json& tag) {
  for (auto& s : tag["sample_keys"]) {
    auto& k = s["key"];
    if (k.contains("value")) return k["value"].is_number() ? KeyType::kNumber : KeyType::kDate;
  }
  return KeyType::kChar;
}

struct Case {
  std::string table;
};

class CdxFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(CdxFixture, EveryTagWalksInManifestOrderWithManifestKeys) {
  std::string table = GetParam();
  auto manifest = testing::LoadManifest(table);
  auto f = CdxFile::Open(Env::Default(), testing::FixturePath(table + ".cdx"), OpenMode::kReadOnly);
  ASSERT_TRUE(f.ok()) << f.status().ToString();
  CdxFile* cdx = f->get();
  ASSERT_EQ(cdx->tag_count(), static_cast<int>(manifest["tags"].size()));
  int i = 0;
  for (auto& mt : manifest["tags"]) {
    std::string name = mt["name"];
    SCOPED_TRACE(table + "." + name);
    CdxTag* tag = cdx->FindTag(name);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(cdx->tag(i++), tag) << "tags come in the order they were created";
    EXPECT_EQ(tag->def().name, name);
    EXPECT_EQ(tag->def().key_expr, mt["key"].get<std::string>());
    EXPECT_EQ(tag->def().for_expr, mt["for"].get<std::string>());
    EXPECT_EQ(tag->def().descending, mt["descending"].get<bool>());
    KeyType type = TypeOf(mt);
    tag->SetKeyType(type);

    Entries fwd = testing::Walk(tag);
    auto expected = mt["order_all"].get<std::vector<uint32_t>>();
    EXPECT_EQ(testing::Recnos(fwd), expected);
    Entries back = testing::Walk(tag, true);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, fwd);

    std::map<uint32_t, std::string> key_of;
    for (auto& e : fwd) key_of[e.second] = e.first;
    auto cursor = tag->NewCursor();
    for (auto& s : mt["sample_keys"]) {
      uint32_t rec = s["recno"];
      ASSERT_TRUE(key_of.count(rec)) << rec;
      const std::string& stored = key_of[rec];
      auto& k = s["key"];
      if (k.contains("hex")) {
        EXPECT_EQ(testing::ToHex(stored), k["hex"].get<std::string>()) << "record " << rec;
      } else if (type == KeyType::kNumber) {
        EXPECT_EQ(DecodeKey(stored, type).number(), k["value"].get<double>()) << "record " << rec;
        auto enc = EncodeKey(Value::Number(k["value"].get<double>()), type, 8);
        ASSERT_TRUE(enc.ok());
        EXPECT_EQ(testing::ToHex(*enc), testing::ToHex(stored));
      } else {
        int32_t jd = JulianFromDtos(k["value"].get<std::string>());
        EXPECT_EQ(DecodeKey(stored, type).date(), jd) << "record " << rec;
        auto enc = EncodeKey(Value::Date(jd), type, 8);
        ASSERT_TRUE(enc.ok());
        EXPECT_EQ(testing::ToHex(*enc), testing::ToHex(stored));
      }
      bool found = false;
      ASSERT_TRUE(cursor->Seek(stored, false, false, &found).ok());
      EXPECT_TRUE(found);
      EXPECT_EQ(cursor->key(), stored);
      EXPECT_TRUE(cursor->SeekEntry(stored, rec).ok());
      EXPECT_EQ(cursor->recno(), rec);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Tables, CdxFixture,
                         ::testing::Values("EMPLE", "PUESTOS", "TIPOS", "VACIA"));

TEST(CdxFixtureSeek, SoftLastAndPrefixSeeksFollowLogicalOrder) {
  auto f = CdxFile::Open(Env::Default(), testing::FixturePath("EMPLE.cdx"), OpenMode::kReadOnly);
  ASSERT_TRUE(f.ok()) << f.status().ToString();
  for (const char* name : {"EMPLE", "EMPLE10"}) {
    SCOPED_TRACE(name);
    CdxTag* tag = (*f)->FindTag(name);
    ASSERT_NE(tag, nullptr);
    Entries all = testing::Walk(tag);
    auto c = tag->NewCursor();
    bool found = false;
    // A prefix: the first entry in logical order that starts with it.
    std::string prefix = "HOTEL PLAYA";
    auto first = std::find_if(all.begin(), all.end(), [&](auto& e) {
      return e.first.compare(0, prefix.size(), prefix) == 0;
    });
    auto last = std::find_if(all.rbegin(), all.rend(), [&](auto& e) {
      return e.first.compare(0, prefix.size(), prefix) == 0;
    });
    ASSERT_TRUE(c->Seek(prefix, false, false, &found).ok());
    ASSERT_TRUE(found);
    EXPECT_EQ(c->recno(), first->second);
    ASSERT_TRUE(c->Seek(prefix, false, true, &found).ok());
    ASSERT_TRUE(found);
    EXPECT_EQ(c->recno(), last->second);
    // Not there: soft stays on what follows in logical order, hard is off.
    std::string missing = "HOTEL PLAYA0";
    ASSERT_TRUE(c->Seek(missing, false, false, &found).ok());
    EXPECT_FALSE(found);
    EXPECT_FALSE(c->Valid());
    ASSERT_TRUE(c->Seek(missing, true, false, &found).ok());
    EXPECT_FALSE(found);
    auto follow = std::find_if(all.begin(), all.end(), [&](auto& e) {
      bool desc = tag->def().descending;
      return desc ? e.first < missing : e.first > missing;
    });
    ASSERT_NE(follow, all.end());
    ASSERT_TRUE(c->Valid());
    EXPECT_EQ(c->recno(), follow->second);
  }
}

}  // namespace
}  // namespace xb
