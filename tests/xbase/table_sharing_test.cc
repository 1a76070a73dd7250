// Two users of one table: locks exclude each other (also two handles in one
// process), and each sees the other's committed changes on the next read.
// The fork test runs real processes appending and updating at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "support/temp_dir.h"
#include "xbase/table.h"

namespace xb {
namespace {

FieldList CounterFields() {
  return {{"CODIGO", 'C', 10, 0, 0, 0}, {"CUENTA", 'N', 10, 0, 0, 0}, {"ESPEJO", 'C', 10, 0, 0, 0}};
}

std::unique_ptr<Table> OpenShared(const std::string& path) {
  auto t = Table::Open(path);
  EXPECT_TRUE(t.ok()) << t.status().ToString();
  return t.ok() ? std::move(*t) : nullptr;
}

TEST(TableSharing, LocksExcludeOtherUsersAndWritesNeedThem) {
  qztest::TempDir dir;
  {
    auto t = Table::Create(dir.file("T"), CounterFields());
    ASSERT_TRUE(t.ok());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE((*t)->Append().ok());
  }
  auto a = OpenShared(dir.file("T.DBF"));
  auto b = OpenShared(dir.file("T.DBF"));
  ASSERT_TRUE(a->GoTo(2).ok());
  EXPECT_FALSE(a->Put("CUENTA", Value::Number(1)).ok());  // not locked
  ASSERT_TRUE(a->LockRecord().ok());
  EXPECT_EQ(b->LockRecord(2).code(), Code::kBusy);
  EXPECT_EQ(b->LockFile().code(), Code::kBusy);
  EXPECT_TRUE(b->LockRecord(3).ok());
  ASSERT_TRUE(a->Put("CUENTA", Value::Number(41)).ok());
  ASSERT_TRUE(a->UnlockRecord(2).ok());  // writes the record back
  ASSERT_TRUE(b->LockRecord(2).ok());    // and re-reads it
  ASSERT_TRUE(b->GoTo(2).ok());
  EXPECT_EQ(b->Get("CUENTA")->number(), 41);
  ASSERT_TRUE(b->UnlockAll().ok());
  ASSERT_TRUE(b->LockFile().ok());
  EXPECT_EQ(a->LockRecord(1).code(), Code::kBusy);
  ASSERT_TRUE(b->UnlockAll().ok());
  EXPECT_TRUE(a->LockRecord(1).ok());
}

TEST(TableSharing, AppendsOfOneUserAreSeenByTheOther) {
  qztest::TempDir dir;
  ASSERT_TRUE(Table::Create(dir.file("T"), CounterFields()).ok());
  auto a = OpenShared(dir.file("T.DBF"));
  auto b = OpenShared(dir.file("T.DBF"));
  ASSERT_TRUE(a->Append().ok());
  ASSERT_TRUE(a->Put("CODIGO", Value::Char("uno")).ok());
  ASSERT_TRUE(b->Append().ok());  // gets record 2, not a second record 1
  EXPECT_EQ(b->RecNo(), 2u);
  ASSERT_TRUE(a->UnlockAll().ok());
  ASSERT_TRUE(b->UnlockAll().ok());
  EXPECT_EQ(*a->RecCount(), 2u);
  ASSERT_TRUE(b->GoTop().ok());
  EXPECT_EQ(b->Get("CODIGO")->str(), "uno       ");
  ASSERT_TRUE(b->GoBottom().ok());
  EXPECT_EQ(b->RecNo(), 2u);
}

TEST(TableSharing, ExclusiveAndSharedOpensExcludeEachOther) {
  qztest::TempDir dir;
  ASSERT_TRUE(Table::Create(dir.file("T"), CounterFields()).ok());
  OpenOptions ex;
  ex.exclusive = true;
  {
    auto a = OpenShared(dir.file("T.DBF"));
    EXPECT_EQ(Table::Open(dir.file("T.DBF"), ex).status().code(), Code::kBusy);
  }
  auto e = Table::Open(dir.file("T.DBF"), ex);
  ASSERT_TRUE(e.ok());
  auto s = Table::Open(dir.file("T.DBF"));
  EXPECT_EQ(s.status().code(), Code::kBusy);
  EXPECT_NE(s.status().message().find("exclusively"), std::string::npos);
}

// Each child appends its own records and increments random counters under
// record locks; a reader checks every record it sees is whole (CUENTA and
// its mirror ESPEJO always agree).
TEST(TableSharing, ForkedWritersLoseNoUpdateAndReadersNeverSeeTornRecords) {
  qztest::TempDir dir;
  const std::string path = dir.file("T.DBF");
  const int kSeed = 200, kWriters = 4, kAppends = 2000, kUpdates = 2000;
  {
    auto t = Table::Create(dir.file("T"), CounterFields());
    ASSERT_TRUE(t.ok());
    for (int i = 0; i < kSeed; ++i) {
      ASSERT_TRUE((*t)->Append().ok());
      ASSERT_TRUE((*t)->Put("CUENTA", Value::Number(0)).ok());
      ASSERT_TRUE((*t)->Put("ESPEJO", Value::Char("0")).ok());
    }
  }
  std::vector<pid_t> kids;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      auto t = Table::Open(path);
      if (!t.ok()) _exit(10);
      std::mt19937 rng(w);
      int appended = 0, updated = 0;
      while (appended < kAppends || updated < kUpdates) {
        if (appended < kAppends && (rng() & 1)) {
          if (!(*t)->Append().ok()) _exit(11);
          (*t)->Put("CODIGO", Value::Char("w" + std::to_string(w)));
          (*t)->Put("CUENTA", Value::Number(0));
          (*t)->Put("ESPEJO", Value::Char("0"));
          if (!(*t)->UnlockAll().ok()) _exit(12);
          ++appended;
        } else if (updated < kUpdates) {
          uint32_t r = 1 + rng() % kSeed;
          Status s = (*t)->GoTo(r);
          if (!s.ok()) _exit(13);
          s = (*t)->LockRecord();
          if (s.IsBusy()) continue;
          if (!s.ok()) _exit(14);
          double n = (*t)->Get("CUENTA")->number() + 1;
          (*t)->Put("CUENTA", Value::Number(n));
          (*t)->Put("ESPEJO", Value::Char(std::to_string(static_cast<int>(n))));
          if (!(*t)->UnlockRecord(r).ok()) _exit(15);
          ++updated;
        }
      }
      _exit(0);
    }
    kids.push_back(pid);
  }
  pid_t reader = fork();
  if (reader == 0) {
    auto t = Table::Open(path);
    if (!t.ok()) _exit(20);
    for (int pass = 0; pass < 20; ++pass) {
      for (Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof(); s = (*t)->Skip(1)) {
        int n = static_cast<int>((*t)->Get("CUENTA")->number());
        std::string m = (*t)->Get("ESPEJO")->str();
        // A record just appended is blank until its writer fills it.
        if (m == std::string(10, ' ') && n == 0) continue;
        if (m.substr(0, m.find(' ')) != std::to_string(n)) _exit(21);
      }
    }
    _exit(0);
  }
  kids.push_back(reader);
  for (pid_t k : kids) {
    int st = 0;
    waitpid(k, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "child exit " << WEXITSTATUS(st);
  }
  auto t = Table::Open(path);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(*(*t)->RecCount(), static_cast<uint32_t>(kSeed + kWriters * kAppends));
  double sum = 0;
  for (Status s = (*t)->GoTop(); s.ok() && !(*t)->Eof(); s = (*t)->Skip(1))
    sum += (*t)->Get("CUENTA")->number();
  EXPECT_EQ(sum, kWriters * kUpdates);
}

}  // namespace
}  // namespace xb

namespace xb {
namespace {

TEST(TableSharing, ARefusedFileLockKeepsTheRecordsWeHoldAndReadOnlyTablesSaySo) {
  qztest::TempDir dir;
  {
    auto t = Table::Create(dir.file("T"), CounterFields());
    ASSERT_TRUE(t.ok());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE((*t)->Append().ok());
  }
  auto a = OpenShared(dir.file("T.DBF"));
  auto b = OpenShared(dir.file("T.DBF"));
  ASSERT_TRUE(a->LockRecord(1).ok());
  ASSERT_TRUE(b->LockRecord(2).ok());
  EXPECT_EQ(a->LockFile().code(), Code::kBusy);
  EXPECT_TRUE(a->IsRecordLocked(1));
  EXPECT_EQ(b->LockRecord(1).code(), Code::kBusy);  // still ours
  ASSERT_TRUE(b->UnlockAll().ok());
  ASSERT_TRUE(a->LockFile().ok());
  ASSERT_TRUE(a->UnlockAll().ok());
  EXPECT_TRUE(b->LockRecord(1).ok());  // the file lock took the record lock with it

  OpenOptions ro;
  ro.read_only = true;
  auto r = Table::Open(dir.file("T.DBF"), ro);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ((*r)->LockRecord(3).code(), Code::kReadOnly);
  EXPECT_EQ((*r)->LockFile().code(), Code::kReadOnly);
}

}  // namespace
}  // namespace xb
