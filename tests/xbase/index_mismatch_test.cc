// A record whose data no longer matches its index entry (what a process killed
// between the record write and the index write leaves): walks in tag order
// must still end, visit every record once and show the record where its entry
// is; check names the record; reindex repairs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "qzadmin_run.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

constexpr int kRecords = 300;

// CODE C(6) "000001".."000300" under tag CODE; NAME C(10).
std::string MakeTable(const qztest::TempDir& dir) {
  std::string path = dir.file("WALK.DBF");
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(path, {{"CODE", 'C', 6, 0}, {"NAME", 'C', 10, 0}}, co);
  EXPECT_TRUE(t.ok()) << t.status().ToString();
  EXPECT_TRUE((*t)->CreateTag("CODE", "CODE").ok());
  for (int i = 1; i <= kRecords; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "%06d", i);
    EXPECT_TRUE((*t)->Append().ok());
    EXPECT_TRUE((*t)->Put("CODE", xb::Value::Char(code)).ok());
    EXPECT_TRUE((*t)->Put("NAME", xb::Value::Char("n" + std::to_string(i))).ok());
  }
  EXPECT_TRUE((*t)->Close().ok());
  return path;
}

// Overwrites CODE of `recno` in the file, leaving the index as it was.
void ChangeBehindIndex(const std::string& path, int recno, const char* code) {
  auto t = xb::Table::Open(path);
  ASSERT_TRUE(t.ok());
  uint64_t header = 32 + 32 * 2 + 2, reclen = (*t)->record_length();
  t->reset();
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(static_cast<std::streamoff>(header + (recno - 1) * reclen + 1));
  f.write(code, 6);
}

// Walks the tag forward (or back) with Skip, stopping after far too many steps.
std::vector<uint32_t> Walk(xb::Table& t, bool back) {
  std::vector<uint32_t> seen;
  xb::Status s = back ? t.GoBottom() : t.GoTop();
  while (s.ok() && !t.Eof() && !(back && t.Bof()) && seen.size() < 10 * kRecords) {
    seen.push_back(t.RecNo());
    s = t.Skip(back ? -1 : 1);
  }
  EXPECT_TRUE(s.ok()) << s.ToString();
  return seen;
}

std::vector<uint32_t> Expected(bool back) {
  std::vector<uint32_t> v;
  for (int i = 1; i <= kRecords; ++i) v.push_back(static_cast<uint32_t>(i));
  if (back) std::reverse(v.begin(), v.end());
  return v;
}

using qztest::CmdResult;
using qztest::Qzadmin;

std::vector<int> DumpedRecnos(const std::string& out) {
  std::vector<int> v;
  size_t pos = 0;
  while ((pos = out.find("\"recno\":", pos)) != std::string::npos) {
    pos += 8;
    v.push_back(std::atoi(out.c_str() + pos));
  }
  return v;
}

// Key moved below its entry (the old walk looped for ever) and above it (the
// old walk skipped every record in between).
class IndexMismatch : public ::testing::TestWithParam<int> {};

TEST_P(IndexMismatch, WalksEndVisitEveryRecordOnceAndCheckNamesIt) {
  qztest::TempDir dir;
  std::string path = MakeTable(dir);
  const int recno = GetParam();
  ChangeBehindIndex(path, recno, recno > 100 ? "000010" : "000200");

  auto t = xb::Table::Open(path);
  ASSERT_TRUE(t.ok());
  ASSERT_TRUE((*t)->SetOrder("CODE").ok());
  EXPECT_EQ(Walk(**t, false), Expected(false));
  EXPECT_EQ(Walk(**t, true), Expected(true));
  auto n = (*t)->KeyCount();
  ASSERT_TRUE(n.ok());
  EXPECT_EQ(*n, static_cast<uint32_t>(kRecords));

  // From the record itself (GoTo, as a grid does after an edit) a walk still ends.
  ASSERT_TRUE((*t)->GoTo(static_cast<uint32_t>(recno)).ok());
  int steps = 0;
  while (!(*t)->Eof() && steps < 10 * kRecords) {
    ASSERT_TRUE((*t)->Skip(1).ok());
    ++steps;
  }
  EXPECT_LT(steps, 10 * kRecords);

  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  bool named = false;
  for (const auto& p : problems)
    named |= p.find("record " + std::to_string(recno) + ":") != std::string::npos &&
             p.find("does not match") != std::string::npos;
  EXPECT_TRUE(named) << ::testing::PrintToString(problems);
  t->reset();

  CmdResult r = Qzadmin("dump " + path + " --tag CODE");
  ASSERT_EQ(r.status, 0) << r.out.substr(0, 500);
  std::vector<int> want;
  for (uint32_t v : Expected(false)) want.push_back(static_cast<int>(v));
  EXPECT_EQ(DumpedRecnos(r.out), want);
  r = Qzadmin("check " + path);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("record " + std::to_string(recno) + ":"), std::string::npos) << r.out;

  ASSERT_EQ(Qzadmin("reindex " + path).status, 0);
  r = Qzadmin("check " + path);
  EXPECT_EQ(r.status, 0) << r.out;
}

INSTANTIATE_TEST_SUITE_P(KeyMoved, IndexMismatch, ::testing::Values(150, 10));

}  // namespace
