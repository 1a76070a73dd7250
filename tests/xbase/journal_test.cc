// The rollback journal of a record change (cdx-format.md, "Crash safety"):
// journals of the earlier layout are still undone, a journal whose checksum
// fails is never applied, and a commit that failed leaves nothing behind for
// the next one.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/fault_env.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 30;

// Six characters: the whole CODE field.
std::string Code(int i) { return "C" + std::to_string(10000 + i); }

void MakeTable(const std::string& dir) {
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(dir + "/J.DBF",
                             {{"CODE", 'C', 6, 0}, {"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 10, 2}}, co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_TRUE((*t)->CreateTag("CODE", "CODE").ok());
  ASSERT_TRUE((*t)->CreateTag("NAME", "NAME+CODE").ok());
  for (int i = 1; i <= kRecords; ++i) {
    ASSERT_TRUE((*t)->Append().ok());
    ASSERT_TRUE((*t)->Put("CODE", xb::Value::Char(Code(i))).ok());
    ASSERT_TRUE((*t)->Put("NAME", xb::Value::Char("n" + std::to_string(i % 4))).ok());
    ASSERT_TRUE((*t)->Put("AMOUNT", xb::Value::Number(i * 1.5)).ok());
  }
  ASSERT_TRUE((*t)->Close().ok());
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

uint32_t LE32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

void PutLE32(std::string* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<char>(v >> (8 * i));
}

// The earlier layout's checksum: 64-bit FNV-1a over 8-byte words, then the
// last bytes, folded to 32 bits.
uint32_t ChecksumV2(const std::string& body) {
  uint64_t h = 14695981039346656037ull;
  size_t i = 0;
  for (; i + 8 <= body.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, body.data() + i, 8);
    h = (h ^ w) * 1099511628211ull;
  }
  for (; i < body.size(); ++i) h = (h ^ static_cast<uint8_t>(body[i])) * 1099511628211ull;
  return static_cast<uint32_t>(h ^ (h >> 32));
}

uint32_t IndexCounter(const std::string& dir) {
  std::string h = ReadFile(dir + "/J.CDX").substr(8, 4);
  return (static_cast<uint8_t>(h[0]) << 24) | (static_cast<uint8_t>(h[1]) << 16) |
         (static_cast<uint8_t>(h[2]) << 8) | static_cast<uint8_t>(h[3]);
}

void CopyDir(const std::string& from, const std::string& to) {
  fs::remove_all(to);
  fs::create_directories(to);
  for (const auto& e : fs::directory_iterator(from))
    fs::copy_file(e.path(), fs::path(to) / e.path().filename());
}

// Moves record 7 to another key of both tags and changes its amount, in a
// process killed after its `n`-th change to the disk.
void KilledUpdate(const std::string& dir, int n) {
  qztest::FaultEnv env;
  env.faults.killed = true;
  env.faults.fail_writes_after = n;
  xb::OpenOptions o;
  o.env = &env;
  auto t = xb::Table::Open(dir + "/J.DBF", o);
  if (!t.ok()) return;
  xb::Table& u = **t;
  if (!u.GoTo(7).ok() || !u.LockRecord().ok()) return;
  (void)u.Put("CODE", xb::Value::Char("Z9"));
  (void)u.Put("NAME", xb::Value::Char("moved"));
  (void)u.Put("AMOUNT", xb::Value::Number(99));
  (void)u.UnlockRecord(7);
}

// Kill points inside the commit (the counter left odd) after the record
// itself reached the table: the journal must put it back.
std::vector<int> HalfDoneKills(const std::string& base, const std::string& work) {
  std::string before = ReadFile(base + "/J.DBF");
  std::vector<int> out;
  for (int n = 0; n < 40; ++n) {
    CopyDir(base, work);
    KilledUpdate(work, n);
    if (IndexCounter(work) % 2 == 1 && ReadFile(work + "/J.DBF") != before) out.push_back(n);
  }
  return out;
}

void ExpectAsBefore(const std::string& dir) {
  auto t = xb::Table::Open(dir + "/J.DBF");
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  EXPECT_EQ(IndexCounter(dir) % 2, 0u);
  ASSERT_TRUE((*t)->GoTo(7).ok());
  EXPECT_EQ((*t)->Get("CODE")->str(), Code(7));
  EXPECT_EQ((*t)->Get("AMOUNT")->number(), 7 * 1.5);
  ASSERT_TRUE((*t)->SetOrder("CODE").ok());
  ASSERT_TRUE((*t)->Seek(xb::Value::Char("Z9")).ok());
  EXPECT_FALSE((*t)->Found());
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}

// A table, a copy to work on, and the kill points of the update that leave
// its commit half done.
class HalfDoneUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(base);
    MakeTable(base);
    kills = HalfDoneKills(base, work);
    ASSERT_FALSE(kills.empty());
  }
  qztest::TempDir tmp;
  std::string base = tmp.file("base"), work = tmp.file("work");
  std::vector<int> kills;
};

TEST_F(HalfDoneUpdate, AJournalOfTheEarlierLayoutIsStillUndone) {
  for (int n : kills) {
    SCOPED_TRACE("killed after change " + std::to_string(n));
    CopyDir(base, work);
    KilledUpdate(work, n);
    // The journal as the earlier version wrote it: same body, its own
    // magic and checksum.
    std::string j = ReadFile(work + "/J.CDX-journal");
    ASSERT_GE(j.size(), 24u);
    ASSERT_EQ(j.substr(0, 8), std::string("QZCDXJ3\0", 8));
    j[6] = '2';
    PutLE32(&j, 20, ChecksumV2(j.substr(24, LE32(j, 16))));
    WriteFile(work + "/J.CDX-journal", j);
    ExpectAsBefore(work);
  }
}

TEST_F(HalfDoneUpdate, AJournalWhoseChecksumFailsIsNeverApplied) {
  CopyDir(base, work);
  KilledUpdate(work, kills.front());
  std::string j = ReadFile(work + "/J.CDX-journal");
  // A byte of the saved bytes changed (a journal torn by the system): put
  // back, it would write that byte into the files.
  const uint32_t body = LE32(j, 16);
  ASSERT_GT(body, 40u);
  j[24 + body - 3] ^= 0x5A;
  WriteFile(work + "/J.CDX-journal", j);
  const std::string dbf = ReadFile(work + "/J.DBF"), cdx = ReadFile(work + "/J.CDX");
  {
    auto t = xb::Table::Open(work + "/J.DBF");
    ASSERT_TRUE(t.ok()) << t.status().ToString();
  }
  EXPECT_EQ(ReadFile(work + "/J.DBF"), dbf);
  EXPECT_EQ(ReadFile(work + "/J.CDX"), cdx);
  // The intact journal does undo it.
  CopyDir(base, work);
  KilledUpdate(work, kills.front());
  ExpectAsBefore(work);
}

// A commit that fails (here its journal cannot be written) refuses the
// change; the record bytes it was to write must not ride along with the
// next change's commit.
TEST(RollbackJournal, ACommitThatFailedLeavesNothingForTheNext) {
  qztest::TempDir tmp;
  std::string dir = tmp.path();
  MakeTable(dir);
  qztest::FaultEnv env;
  xb::OpenOptions o;
  o.env = &env;
  auto t = xb::Table::Open(dir + "/J.DBF", o);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  xb::Table& u = **t;
  auto change = [&](uint32_t rec, const char* field, const xb::Value& v) -> xb::Status {
    XB_RETURN_IF_ERROR(u.GoTo(rec));
    XB_RETURN_IF_ERROR(u.LockRecord());
    XB_RETURN_IF_ERROR(u.Put(field, v));
    return u.UnlockRecord(rec);
  };
  ASSERT_TRUE(change(5, "NAME", xb::Value::Char("five")).ok());
  env.faults.fail_writes_after = 0;
  xb::Status failed = change(7, "CODE", xb::Value::Char("X7"));
  ASSERT_FALSE(failed.ok());
  EXPECT_NE(failed.message().find("J.CDX"), std::string::npos) << failed.ToString();
  env.faults.fail_writes_after = -1;
  ASSERT_TRUE(u.UnlockRecord(7).ok());
  ASSERT_TRUE(change(8, "AMOUNT", xb::Value::Number(8.25)).ok());
  ASSERT_TRUE(change(30, "CODE", xb::Value::Char("Y30")).ok());
  t->reset();

  auto again = xb::Table::Open(dir + "/J.DBF");
  ASSERT_TRUE(again.ok()) << again.status().ToString();
  xb::Table& a = **again;
  ASSERT_TRUE(a.GoTo(7).ok());
  EXPECT_EQ(a.Get("CODE")->str(), Code(7));
  ASSERT_TRUE(a.GoTo(8).ok());
  EXPECT_EQ(a.Get("AMOUNT")->number(), 8.25);
  ASSERT_TRUE(a.GoTo(30).ok());
  EXPECT_EQ(a.Get("CODE")->str(), "Y30   ");
  std::vector<std::string> problems;
  ASSERT_TRUE(a.Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
  EXPECT_EQ(*a.RecCount(), static_cast<uint32_t>(kRecords));
}

}  // namespace
