// The admin tool as an operator uses it: dump, info, check, reindex, pack.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "qzadmin_run.h"
#include "support/manifest.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

using qztest::CmdResult;
using qztest::Qzadmin;

std::vector<nlohmann::json> Lines(const std::string& out) {
  std::vector<nlohmann::json> v;
  size_t pos = 0;
  while (pos < out.size()) {
    size_t nl = out.find('\n', pos);
    v.push_back(nlohmann::json::parse(out.substr(pos, nl - pos)));
    pos = nl + 1;
  }
  return v;
}

TEST(Qzadmin, DumpGivesEveryRecordAsTheManifestSays) {
  CmdResult r = Qzadmin(qztest::FixturePath("PUESTOS.dbf") + " --deleted");
  EXPECT_EQ(r.status, 2);  // no command
  r = Qzadmin("dump " + qztest::FixturePath("PUESTOS.dbf") + " --deleted");
  ASSERT_EQ(r.status, 0) << r.out;
  auto lines = Lines(r.out);
  const auto& m = qztest::Manifest("PUESTOS");
  ASSERT_EQ(lines.size(), m["records"].size());
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i]["recno"], m["records"][i]["recno"]);
    EXPECT_EQ(lines[i]["deleted"], m["records"][i]["deleted"]);
    EXPECT_EQ(lines[i]["values"]["DESCRIP"], m["records"][i]["values"][2]);  // blanks kept
    EXPECT_EQ(lines[i]["values"]["HORAS_DIA"], m["records"][i]["values"][3]);
  }
  // Without --deleted the deleted row is left out; --tag walks key order.
  r = Qzadmin("dump " + qztest::FixturePath("PUESTOS.dbf") + " --tag PUESTOS2");
  ASSERT_EQ(r.status, 0) << r.out;
  std::vector<int> order;
  for (const auto& l : Lines(r.out)) order.push_back(l["recno"].get<int>());
  EXPECT_EQ(order, m["tags"][1]["order_visible"].get<std::vector<int>>());
  EXPECT_EQ(Qzadmin("dump " + qztest::FixturePath("PUESTOS.dbf") + " --tag NOPE").status, 1);
}

TEST(Qzadmin, DumpWritesTextAsUtf8AndDatesAsText) {
  CmdResult r = Qzadmin("dump " + qztest::FixturePath("EMPLE.dbf") + " --tag EMPLE");
  ASSERT_EQ(r.status, 0);
  auto first = nlohmann::json::parse(r.out.substr(0, r.out.find('\n')));
  EXPECT_EQ(first["values"]["F_INGRESO"].get<std::string>().size(), 8u);
  EXPECT_NE(r.out.find("ñ"), std::string::npos);
  r = Qzadmin("info " + qztest::FixturePath("TIPOS.dbf"));
  ASSERT_EQ(r.status, 0);
  auto info = nlohmann::json::parse(r.out);
  EXPECT_EQ(info["reccount"], 300);
  EXPECT_EQ(info["tags"].size(), 4u);
}

TEST(Qzadmin, CheckFindsADamagedIndexAndReindexRepairsIt) {
  qztest::TempDir dir;
  dir.CopyFixture("EMPLE");
  std::string dbf = dir.file("EMPLE.dbf");
  EXPECT_EQ(Qzadmin("check " + dbf).status, 0);
  // Change records behind the index's back (as a crashed program would).
  {
    std::fstream f(dbf, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(354 + 1);  // record 1, NEGOCIO
    f.write("AAAAAAA", 7);
    f.seekp(354 + 133 * 9 + 1);
    f.write("ZZZZ", 4);
  }
  CmdResult r = Qzadmin("check " + dbf);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("record 1: index entry"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("record 10: index entry"), std::string::npos) << r.out;
  ASSERT_EQ(Qzadmin("reindex " + dbf).status, 0);
  r = Qzadmin("check " + dbf);
  EXPECT_EQ(r.status, 0) << r.out;
}

TEST(Qzadmin, PackRemovesDeletedRecordsAndKeepsTagsConsistent) {
  qztest::TempDir dir;
  dir.CopyFixture("EMPLE");
  std::string dbf = dir.file("EMPLE.dbf");
  CmdResult r = Qzadmin("pack " + dbf);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("removed 1176 deleted records, 18824 remain"), std::string::npos) << r.out;
  EXPECT_EQ(Qzadmin("check " + dbf).status, 0);
  // Memos survived the move.
  r = Qzadmin("dump " + dbf);
  EXPECT_NE(r.out.find("Reescrito 5"), std::string::npos);
  // A table someone else has open cannot be packed.
  auto t = xb::Table::Open(dbf);
  ASSERT_TRUE(t.ok());
  r = Qzadmin("pack " + dbf);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("in use"), std::string::npos) << r.out;
}

TEST(Qzadmin, MissingFilesAndBadArgumentsAreReported) {
  CmdResult r = Qzadmin("dump /nonexistent/X.DBF");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("X.DBF"), std::string::npos);
  EXPECT_EQ(Qzadmin("dump").status, 2);
  EXPECT_EQ(Qzadmin("check a b").status, 2);
}

}  // namespace
