// Tables written by another xBase engine read back exactly as their manifests
// say, and tables we write from the same records read back the same.
#include <gtest/gtest.h>

#include <cmath>

#include "support/manifest.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace xb {
namespace {

using qztest::Manifest;
using qztest::ManifestValue;

void ExpectFieldEquals(const Value& got, const Value& want, const FieldDef& f, int recno) {
  if (want.is_numeric()) {
    ASSERT_TRUE(got.is_numeric()) << f.name << " rec " << recno;
    EXPECT_NEAR(got.number(), want.number(), 1e-9 * std::max(1.0, std::fabs(want.number())))
        << f.name << " rec " << recno;
  } else {
    EXPECT_EQ(got, want) << f.name << " rec " << recno << ": " << got.DebugString() << " vs "
                         << want.DebugString();
  }
}

// Reads every record of `t` in record order, deleted ones included, and
// compares it with the manifest.
void ExpectTableMatches(Table* t, const nlohmann::json& m) {
  SetDeletedHidden(false);
  ASSERT_EQ(*t->RecCount(), m["reccount"].get<uint32_t>());
  const auto& mf = m["fields"];
  ASSERT_EQ(t->fields().size(), mf.size());
  for (size_t i = 0; i < mf.size(); ++i) {
    EXPECT_EQ(t->fields()[i].name, mf[i]["name"].get<std::string>());
    char want_type = mf[i]["type"].get<std::string>()[0];
    EXPECT_EQ(t->fields()[i].type == '@' ? 'T' : t->fields()[i].type,
              want_type == '@' ? 'T' : want_type);
    EXPECT_EQ(t->fields()[i].len, mf[i]["len"].get<int>());
  }
  ASSERT_TRUE(t->SetOrder(0).ok());
  ASSERT_TRUE(t->GoTop().ok());
  for (const auto& r : m["records"]) {
    int recno = r["recno"].get<int>();
    ASSERT_FALSE(t->Eof()) << "ended before record " << recno;
    ASSERT_EQ(t->RecNo(), static_cast<uint32_t>(recno));
    EXPECT_EQ(t->Deleted(), r["deleted"].get<bool>()) << "rec " << recno;
    for (size_t i = 0; i < mf.size(); ++i) {
      const FieldDef& f = t->fields()[i];
      auto got = t->Get(static_cast<int>(i));
      ASSERT_TRUE(got.ok()) << got.status().ToString();
      ExpectFieldEquals(*got, ManifestValue(r["values"][i], f.type, f.dec), f, recno);
    }
    ASSERT_TRUE(t->Skip(1).ok());
  }
  EXPECT_TRUE(t->Eof());
  SetDeletedHidden(true);
}

class FixtureTables : public ::testing::TestWithParam<std::string> {};

TEST_P(FixtureTables, ReadBackExactlyAsTheManifestSays) {
  OpenOptions o;
  o.read_only = true;
  o.open_index = false;
  auto t = Table::Open(qztest::FixturePath(GetParam() + ".DBF"), o);  // the file is .dbf
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ExpectTableMatches(t->get(), Manifest(GetParam()));
}

TEST_P(FixtureTables, OurCopyWrittenFromTheRecordsReadsBackTheSame) {
  const auto& m = Manifest(GetParam());
  qztest::TempDir dir;
  FieldList fields;
  for (const auto& f : m["fields"]) {
    FieldDef d;
    d.name = f["name"].get<std::string>();
    d.type = f["type"].get<std::string>()[0];
    d.len = static_cast<uint8_t>(f["len"].get<int>());
    d.dec = static_cast<uint8_t>(f["dec"].get<int>());
    fields.push_back(d);
  }
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(dir.file(GetParam()), fields, co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  for (const auto& r : m["records"]) {
    ASSERT_TRUE((*t)->Append().ok());
    for (size_t i = 0; i < fields.size(); ++i) {
      const FieldDef& f = (*t)->fields()[i];
      Status s = (*t)->Put(static_cast<int>(i), ManifestValue(r["values"][i], f.type, f.dec));
      ASSERT_TRUE(s.ok()) << s.ToString();
    }
    if (r["deleted"].get<bool>()) {
      ASSERT_TRUE((*t)->Delete().ok());
    }
  }
  ASSERT_TRUE((*t)->Close().ok());
  OpenOptions o;
  o.read_only = true;
  auto back = Table::Open(dir.file(GetParam() + ".DBF"), o);
  ASSERT_TRUE(back.ok()) << back.status().ToString();
  ExpectTableMatches(back->get(), m);
}

INSTANTIATE_TEST_SUITE_P(All, FixtureTables, ::testing::Values("EMPLE", "PUESTOS", "TIPOS", "VACIA"));

// Byte layout of what we write: the other engine must read it, so the header
// and field descriptors follow the same layout as its own files.
TEST(FixtureLayout, HeaderAndDescriptorsMatchTheOtherEngineByteForByte) {
  const auto& m = Manifest("PUESTOS");
  qztest::TempDir dir;
  FieldList fields;
  for (const auto& f : m["fields"])
    fields.push_back(FieldDef{f["name"].get<std::string>(), f["type"].get<std::string>()[0],
                              static_cast<uint8_t>(f["len"].get<int>()),
                              static_cast<uint8_t>(f["dec"].get<int>()), 0, 0});
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(dir.file("PUESTOS"), fields, co);
  ASSERT_TRUE(t.ok());
  for (const auto& r : m["records"]) {
    ASSERT_TRUE((*t)->Append().ok());
    for (size_t i = 0; i < fields.size(); ++i)
      ASSERT_TRUE((*t)->Put(static_cast<int>(i), ManifestValue(r["values"][i], fields[i].type, fields[i].dec)).ok());
    if (r["deleted"].get<bool>()) {
      ASSERT_TRUE((*t)->Delete().ok());
    }
  }
  ASSERT_TRUE((*t)->Close().ok());
  auto slurp = [](const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  std::string ours = slurp(dir.file("PUESTOS.DBF"));
  std::string theirs = slurp(qztest::FixturePath("PUESTOS.dbf"));
  ASSERT_EQ(ours.size(), theirs.size());
  // Bytes 1-3 are the last-update date, 28 the structural-index flag (no
  // index here) and 29 the code page (we say Windows-1252 explicitly).
  for (size_t i = 0; i < ours.size(); ++i) {
    if ((i >= 1 && i <= 3) || i == 28 || i == 29) continue;
    ASSERT_EQ(static_cast<int>(static_cast<uint8_t>(ours[i])), static_cast<int>(static_cast<uint8_t>(theirs[i])))
        << "byte " << i;
  }
}

}  // namespace
}  // namespace xb
