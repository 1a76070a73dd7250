// What check finds in an index a writer would trust blindly, and what reindex
// repairs from the records alone: a free list pointing at a live page, a
// damaged page tree, an index whose tag directory cannot be read at all; and
// an index change cut short by a killed writer, rolled back by the next user.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "qzadmin_run.h"
#include "support/fault_env.h"
#include "support/temp_dir.h"
#include "xbase/cdx.h"
#include "xbase/table.h"

namespace {

std::string MakeTable(const qztest::TempDir& dir, const std::string& name, int n) {
  std::string path = dir.file(name + ".DBF");
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(path, {{"CODE", 'C', 8, 0}, {"NAME", 'C', 12, 0}}, co);
  EXPECT_TRUE(t.ok());
  EXPECT_TRUE((*t)->CreateTag("CODE", "CODE").ok());
  EXPECT_TRUE((*t)->CreateTag("NAME", "UPPER(NAME)", "", true).ok());
  for (int i = 1; i <= n; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "K%07d", i * 7 % 1000);
    EXPECT_TRUE((*t)->Append().ok());
    EXPECT_TRUE((*t)->Put("CODE", xb::Value::Char(code)).ok());
    EXPECT_TRUE((*t)->Put("NAME", xb::Value::Char("n" + std::to_string(i % 13))).ok());
  }
  EXPECT_TRUE((*t)->Close().ok());
  return path;
}

void Poke(const std::string& path, uint64_t off, const std::string& bytes) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(static_cast<std::streamoff>(off));
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Check(const std::string& path, bool* opened = nullptr) {
  std::vector<std::string> problems;
  auto t = xb::Table::Open(path);
  if (opened) *opened = t.ok();
  if (!t.ok()) return {t.status().ToString()};
  xb::Status s = (*t)->Check(&problems);
  if (!s.ok()) problems.push_back(s.ToString());
  return problems;
}

bool Mentions(const std::vector<std::string>& v, const std::string& what) {
  for (const auto& p : v)
    if (p.find(what) != std::string::npos) return true;
  return false;
}

int Qzadmin(const std::string& args, std::string* out = nullptr) {
  qztest::CmdResult r = qztest::Qzadmin(args);
  if (out) *out = r.out;
  return r.status;
}

TEST(IndexRepair, CheckFindsAFreeListThroughALivePageAndReindexRepairsIt) {
  qztest::TempDir dir;
  std::string dbf = MakeTable(dir, "FREE", 400);
  std::string cdx = dir.file("FREE.CDX");
  ASSERT_TRUE(Check(dbf).empty());
  // The free head at offset 4 now points at the tag directory's root page,
  // as a writer killed between the pages and the header could leave it.
  Poke(cdx, 4, std::string("\x00\x04\x00\x00", 4));
  auto problems = Check(dbf);
  EXPECT_TRUE(Mentions(problems, "free page list: page 0x400: in use by tag directory"))
      << ::testing::PrintToString(problems);
  EXPECT_EQ(Qzadmin("reindex " + dbf), 0);
  EXPECT_TRUE(Check(dbf).empty());
}

TEST(IndexRepair, ReindexRebuildsWhatTheOldTreeCannotGiveAndCheckSaysWhy) {
  qztest::TempDir dir;
  std::string dbf = MakeTable(dir, "TREE", 2000);
  std::string cdx = dir.file("TREE.CDX");
  uint64_t size = std::filesystem::file_size(cdx);
  // A page of the last tag's tree turned into an interior page pointing back
  // at itself, and a sibling pointer leading outside the file.
  Poke(cdx, size - 512, std::string("\x00\x00\x01\x00", 4));
  Poke(cdx, size - 1024 + 8, std::string("\xF0\xFF\xFF\x00", 4));
  auto problems = Check(dbf);
  EXPECT_FALSE(problems.empty());
  EXPECT_TRUE(Mentions(problems, "TREE.CDX")) << ::testing::PrintToString(problems);
  std::string out;
  EXPECT_EQ(Qzadmin("reindex " + dbf, &out), 0) << out;
  EXPECT_TRUE(Check(dbf).empty()) << ::testing::PrintToString(Check(dbf));
  EXPECT_FALSE(std::filesystem::exists(cdx + ".new"));
}

TEST(IndexRepair, AnUnreadableDirectoryIsRebuiltFromTheCatalogForAWholeInstallation) {
  qztest::TempDir dir;
  std::string inst = dir.file("inst");
  ASSERT_EQ(Qzadmin("init " + inst), 0);
  std::string cdx = inst + "/BASES/BANCOS.CDX";
  ASSERT_TRUE(std::filesystem::exists(cdx));
  Poke(cdx, 0x400, std::string(512, '\xEE'));  // the tag directory's root page
  bool opened = true;
  auto problems = Check(inst + "/BASES/BANCOS.DBF", &opened);
  EXPECT_FALSE(opened);
  EXPECT_TRUE(Mentions(problems, "BANCOS.CDX")) << ::testing::PrintToString(problems);
  std::filesystem::remove(inst + "/BASES/ACCIONES.CDX");  // gone altogether
  std::string out;
  EXPECT_EQ(Qzadmin("reindex " + inst, &out), 0) << out;
  EXPECT_NE(out.find("0 failed"), std::string::npos) << out;
  EXPECT_EQ(Qzadmin("check " + inst, &out), 0) << out;
}

// A killed writer in the middle of a change that splits many pages: the next
// user finds the tag as it was before the change, and whole.
TEST(IndexRepair, AChangeCutShortByAKilledWriterIsRolledBackByTheNextUser) {
  qztest::TempDir dir;
  std::string base = dir.file("IX.CDX"), work = dir.file("WORK.CDX");
  {
    auto f = xb::CdxFile::Create(xb::Env::Default(), base, true);
    ASSERT_TRUE(f.ok());
    xb::TagDef d;
    d.name = "K";
    d.key_len = 10;
    auto t = (*f)->AddTag(d);
    ASSERT_TRUE(t.ok());
    for (int i = 0; i < 300; ++i) ASSERT_TRUE((*t)->Insert("B" + std::to_string(1000 + i), i + 1).ok());
  }
  auto walk = [](xb::CdxFile& f) {
    std::vector<uint32_t> v;
    auto c = f.FindTag("K")->NewCursor();
    for (xb::Status s = c->First(); s.ok() && c->Valid(); s = c->Next()) v.push_back(c->recno());
    return v;
  };
  auto change = [](xb::CdxFile& f) {
    if (!f.LockWrite().ok()) return;
    for (int i = 0; i < 400; ++i) (void)f.FindTag("K")->Insert("A" + std::to_string(5000 + i), 1000 + i);
    (void)f.UnlockWrite();
  };
  std::vector<uint32_t> before, after;
  long total = 0;
  {
    std::filesystem::copy_file(base, work, std::filesystem::copy_options::overwrite_existing);
    auto f = xb::CdxFile::Open(xb::Env::Default(), work, xb::OpenMode::kReadWrite);
    before = walk(**f);
    qztest::FaultEnv env;
    env.faults.killed = true;
    auto g = xb::CdxFile::Open(&env, work, xb::OpenMode::kReadWrite);
    change(**g);
    total = env.faults.changes;
    after = walk(**g);
  }
  ASSERT_GT(total, 4);
  int rolled_back = 0;
  for (long n = 0; n < total; ++n) {
    for (bool torn : {false, true}) {
      SCOPED_TRACE("killed after change " + std::to_string(n) + (torn ? " (torn)" : ""));
      std::filesystem::copy_file(base, work, std::filesystem::copy_options::overwrite_existing);
      std::filesystem::remove(work + "-journal");
      {
        qztest::FaultEnv env;
        env.faults.killed = true;
        env.faults.fail_writes_after = static_cast<int>(n);
        env.faults.short_writes = torn;
        auto g = xb::CdxFile::Open(&env, work, xb::OpenMode::kReadWrite);
        ASSERT_TRUE(g.ok());
        change(**g);
      }
      auto f = xb::CdxFile::Open(xb::Env::Default(), work, xb::OpenMode::kReadWrite);
      ASSERT_TRUE(f.ok()) << f.status().ToString();
      std::vector<std::string> problems;
      ASSERT_TRUE((*f)->Verify(&problems).ok());
      EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
      auto got = walk(**f);
      EXPECT_TRUE(got == before || got == after);
      if (got == before) ++rolled_back;
    }
  }
  std::printf("[ crash ] index split: %ld crash points x2, %d rolled back\n", total, rolled_back);
}

}  // namespace
