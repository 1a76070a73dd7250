// Header, index and record locks kept for a moment after a change
// (lingering_lock.h, kept_record_locks.h): other handles of the same process
// never wait for them, a lock nobody comes back for is let go on its own,
// readers and writers of other processes get their turn beside a writer that
// works without pause, a writer killed while keeping them leaves what it had
// committed and nothing torn, and letting go of kept records together never
// lets go of a lock still held.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "support/temp_dir.h"
#include "xbase/lingering_lock.h"
#include "xbase/new_record.h"
#include "xbase/table.h"
#include "xbase/table_locks.h"

namespace xb {
namespace {

using Clock = std::chrono::steady_clock;

std::string Key(int i) { return "K" + std::to_string(100000 + i); }

// KEY and its mirror MIRROR always agree in a whole record; GROUP moves.
void MakeTable(const std::string& path, int n) {
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(path, {{"KEY", 'C', 10, 0, 0, 0}, {"GROUP", 'C', 4, 0, 0, 0},
                                {"MIRROR", 'C', 10, 0, 0, 0}, {"N", 'N', 8, 0, 0, 0}},
                         co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_TRUE((*t)->CreateTag("KEY", "KEY").ok());
  ASSERT_TRUE((*t)->CreateTag("GROUP", "GROUP+KEY").ok());
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE((*t)->Append().ok());
    (*t)->Put(0, Value::Char(Key(i)));
    (*t)->Put(1, Value::Char("G" + std::to_string(i % 7)));
    (*t)->Put(2, Value::Char(Key(i)));
  }
  ASSERT_TRUE((*t)->Close().ok());
}

Status AddRow(Table& t, int i) {
  NewRecord r(t);
  XB_RETURN_IF_ERROR(r.Put(0, Value::Char(Key(i))));
  XB_RETURN_IF_ERROR(r.Put(1, Value::Char("G" + std::to_string(i % 7))));
  XB_RETURN_IF_ERROR(r.Put(2, Value::Char(Key(i))));
  XB_RETURN_IF_ERROR(AppendRecord(t, r));
  return t.UnlockRecord(t.RecNo());
}

// Whether another open file of the process could take byte `off` of `path`
// exclusively right now (asked without taking it).
bool ByteFree(const std::string& path, uint64_t off) {
  int fd = open(path.c_str(), O_RDWR);
  if (fd < 0) return false;
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(off);
  fl.l_len = 1;
  bool free = fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type == F_UNLCK;
  close(fd);
  return free;
}

bool FreeWithin(const std::string& path, uint64_t off, std::chrono::milliseconds limit) {
  auto start = Clock::now();
  while (!ByteFree(path, off)) {
    if (Clock::now() - start > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void ExpectWholeAndClean(const std::string& path, uint32_t at_least) {
  auto t = Table::Open(path);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
  auto n = (*t)->RecCount();
  ASSERT_TRUE(n.ok());
  EXPECT_GE(*n, at_least);
  for (uint32_t r = 1; r <= *n; ++r) {
    ASSERT_TRUE((*t)->GoTo(r).ok());
    EXPECT_EQ((*t)->Get(0)->str(), (*t)->Get(2)->str()) << "record " << r << " is torn";
  }
}

TEST(LingeringLocks, HandlesOfOneProcessNeverWaitForEachOthersKeptLocks) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  MakeTable(path, 50);
  auto a = Table::Open(path);
  auto b = Table::Open(path);
  ASSERT_TRUE(a.ok() && b.ok());
  ASSERT_TRUE((*b)->SetOrder("KEY").ok());
  // Each step takes the locks the other handle has just let go of (and
  // keeps): were they waited for, every step would cost milliseconds.
  const int kSteps = 300;
  auto start = Clock::now();
  for (int i = 0; i < kSteps; ++i) {
    Table& w = i % 2 ? **a : **b;
    ASSERT_TRUE(AddRow(w, 1000 + i).ok()) << i;
    // A key move by the other handle, on a record the first one just wrote.
    Table& o = i % 2 ? **b : **a;
    ASSERT_TRUE(o.GoTo(o.RecCount().value()).ok());
    ASSERT_TRUE(o.LockRecord().ok());
    ASSERT_TRUE(o.Put(1, Value::Char("M" + std::to_string(i % 3))).ok());
    ASSERT_TRUE(o.UnlockRecord(o.RecNo()).ok());
  }
  auto took = Clock::now() - start;
  EXPECT_LT(took, std::chrono::milliseconds(kSteps * 4))
      << "handles waited for each other's kept locks";
  ASSERT_TRUE((*b)->Seek(Value::Char(Key(1000 + kSteps - 1))).ok());
  EXPECT_TRUE((*b)->Found());
  EXPECT_EQ((*b)->Get(1)->str(), "M" + std::to_string((kSteps - 1) % 3) + "  ");
  a->reset();
  b->reset();
  ExpectWholeAndClean(path, 50 + kSteps);
}

TEST(LingeringLocks, AKeptLockNobodyComesBackForIsLetGoOnItsOwn) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  MakeTable(path, 10);
  auto t = Table::Open(path);
  ASSERT_TRUE(t.ok());
  ASSERT_TRUE(AddRow(**t, 1).ok());
  // The table stays open and idle: other programs must get both bytes back
  // within moments (the keeper lets go after a few milliseconds).
  EXPECT_TRUE(FreeWithin(path, kHeaderLockOffset, std::chrono::seconds(2)));
  EXPECT_TRUE(FreeWithin(dir.file("L.CDX"), kHeaderLockOffset, std::chrono::seconds(2)));
  // And taking them again works as before.
  ASSERT_TRUE(AddRow(**t, 2).ok());
  EXPECT_EQ((*t)->RecCount().value(), 12u);
}

TEST(LingeringLocks, ReadersAndWritersOfOtherProcessesGetTheirTurnBesideABusyWriter) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  const int kRecords = 2000;
  MakeTable(path, kRecords);
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  // A reader seeking and a second writer appending, each timing its
  // slowest operation, beside this process's run of key moves.
  pid_t reader = fork();
  if (reader == 0) {
    auto t = Table::Open(path);
    if (!t.ok() || !(*t)->SetOrder("KEY").ok()) _exit(2);
    std::mt19937 rng(3);
    int64_t slowest_us = 0;
    int done = 0;
    for (auto start = Clock::now(); Clock::now() - start < std::chrono::milliseconds(1500); ++done) {
      auto t0 = Clock::now();
      int i = static_cast<int>(rng() % kRecords);
      if (!(*t)->Seek(Value::Char(Key(i))).ok() || !(*t)->Found()) _exit(3);
      if ((*t)->Get(0)->str() != (*t)->Get(2)->str()) _exit(4);
      slowest_us = std::max<int64_t>(slowest_us, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count());
    }
    int64_t msg[2] = {done, slowest_us};
    if (write(report[1], msg, sizeof msg) != sizeof msg) _exit(5);
    _exit(0);
  }
  pid_t appender = fork();
  if (appender == 0) {
    auto t = Table::Open(path);
    if (!t.ok()) _exit(2);
    int64_t slowest_us = 0;
    int done = 0;
    for (auto start = Clock::now(); Clock::now() - start < std::chrono::milliseconds(1500); ++done) {
      auto t0 = Clock::now();
      if (!AddRow(**t, 50000 + done).ok()) _exit(3);
      slowest_us = std::max<int64_t>(slowest_us, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0).count());
    }
    int64_t msg[2] = {done, slowest_us};
    if (write(report[1], msg, sizeof msg) != sizeof msg) _exit(5);
    _exit(0);
  }
  close(report[1]);
  {
    auto t = Table::Open(path);
    ASSERT_TRUE(t.ok());
    std::mt19937 rng(4);
    int moves = 0;
    for (auto start = Clock::now(); Clock::now() - start < std::chrono::milliseconds(1700); ++moves) {
      uint32_t r = 1 + rng() % kRecords;
      ASSERT_TRUE((*t)->GoTo(r).ok());
      if ((*t)->LockRecord().IsBusy()) continue;
      ASSERT_TRUE((*t)->Put(1, Value::Char("W" + std::to_string(rng() % 9))).ok());
      ASSERT_TRUE((*t)->UnlockRecord(r).ok());
    }
    EXPECT_GT(moves, 100);
  }
  for (pid_t k : {reader, appender}) {
    int st = 0;
    waitpid(k, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "child exit " << WEXITSTATUS(st);
  }
  for (const char* who : {"reader", "appender"}) {
    int64_t msg[2] = {0, 0};
    ASSERT_EQ(read(report[0], msg, sizeof msg), static_cast<ssize_t>(sizeof msg));
    // Waiting never reached the patience of the engine (seconds): a busy
    // machine may stall anyone for a while, but not for that long.
    std::printf("[ turns ] %s: %lld operations, slowest %lld us\n", who,
                static_cast<long long>(msg[0]), static_cast<long long>(msg[1]));
    EXPECT_GT(msg[0], 20) << who << " hardly got a turn";
    EXPECT_LT(msg[1], 1000000) << who << " waited " << msg[1] << " us at worst";
  }
  close(report[0]);
  ExpectWholeAndClean(path, kRecords);
}

TEST(LingeringLocks, AWriterKilledWhileKeepingItsLocksLeavesWholeRowsAndACleanIndex) {
  std::mt19937 rng(77);
  for (int round = 0; round < 3; ++round) {
    qztest::TempDir dir;
    const std::string path = dir.file("L.DBF");
    MakeTable(path, 100);
    int committed[2];
    ASSERT_EQ(pipe(committed), 0);
    pid_t victim = fork();
    if (victim == 0) {
      auto t = Table::Open(path);
      if (!t.ok()) _exit(2);
      for (int i = 0;; ++i) {
        if (!AddRow(**t, 200000 + i).ok()) _exit(3);
        if (write(committed[1], &i, sizeof i) != sizeof i) _exit(4);
      }
    }
    close(committed[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(30 + rng() % 200));
    kill(victim, SIGKILL);
    int st = 0;
    waitpid(victim, &st, 0);
    int last = -1, i = 0;
    while (read(committed[0], &i, sizeof i) == sizeof i) last = i;
    close(committed[0]);
    // The next user finds the locks free at once (they died with the
    // process), everything committed there, and nothing half-written.
    EXPECT_TRUE(ByteFree(path, kHeaderLockOffset));
    ExpectWholeAndClean(path, static_cast<uint32_t>(100 + last + 1));
    auto t = Table::Open(path);
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->SetOrder("KEY").ok());
    if (last >= 0) {
      ASSERT_TRUE((*t)->Seek(Value::Char(Key(200000 + last))).ok());
      EXPECT_TRUE((*t)->Found()) << "committed row " << last << " lost";
    }
    ASSERT_TRUE(AddRow(**t, 999).ok());  // and the table takes rows again
  }
}

TEST(LingeringLocks, UnlockingEverythingFreesRunsOfRecordsButNotAnotherHandlesRecord) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  MakeTable(path, 20);
  auto a = Table::Open(path);
  auto b = Table::Open(path);
  auto c = Table::Open(path);
  ASSERT_TRUE(a.ok() && b.ok() && c.ok());
  ASSERT_TRUE((*b)->LockRecord(5).ok());
  for (uint32_t r : {1u, 2u, 3u, 4u, 6u, 7u, 8u, 12u, 20u}) ASSERT_TRUE((*a)->LockRecord(r).ok()) << r;
  ASSERT_TRUE((*a)->UnlockAll().ok());
  EXPECT_TRUE((*a)->LockedRecords().empty());
  EXPECT_EQ((*c)->LockRecord(5).code(), Code::kBusy);  // still the other handle's
  for (uint32_t r : {1u, 2u, 3u, 4u, 6u, 7u, 8u, 12u, 20u}) EXPECT_TRUE((*c)->LockRecord(r).ok()) << r;
}

// Whether every record byte of [1, n] is as `held` says (held = busy for
// another open file).
void ExpectRecordBytes(const std::string& path, uint32_t n, const std::vector<uint32_t>& held,
                       const char* when) {
  for (uint32_t r = 1; r <= n; ++r) {
    bool busy = !ByteFree(path, RecordLockOffset(r));
    bool want = std::find(held.begin(), held.end(), r) != held.end();
    EXPECT_EQ(busy, want) << "record " << r << (want ? " lost its lock " : " still locked ")
                          << when;
  }
}

TEST(KeptRecordLocks, LettingGoOfKeptRecordsTogetherNeverLetsGoOfOneStillHeld) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  const uint32_t kRecords = 300;
  MakeTable(path, static_cast<int>(kRecords));
  auto t = Table::Open(path);
  ASSERT_TRUE(t.ok());
  // Records held for the whole run, among many taken and let go of in a
  // random order around them: every batch lets go of runs between them.
  const std::vector<uint32_t> held = {1, 57, 58, 150, 299};
  for (uint32_t r : held) ASSERT_TRUE((*t)->LockRecord(r).ok());
  std::mt19937 rng(11);
  std::vector<uint32_t> others;
  for (uint32_t r = 1; r <= kRecords; ++r) {
    if (std::find(held.begin(), held.end(), r) == held.end()) others.push_back(r);
  }
  std::shuffle(others.begin(), others.end(), rng);
  for (uint32_t r : others) {
    ASSERT_TRUE((*t)->LockRecord(r).ok()) << r;
    ASSERT_TRUE((*t)->GoTo(r).ok());
    ASSERT_TRUE((*t)->Put(3, Value::Number(r)).ok());
    ASSERT_TRUE((*t)->UnlockRecord(r).ok()) << r;
    EXPECT_FALSE((*t)->IsRecordLocked(r));
  }
  for (uint32_t r : held) EXPECT_TRUE((*t)->IsRecordLocked(r));
  // The held ones are still locked for everybody else, at once; the rest
  // free within moments (batches, or the keeper).
  for (uint32_t r : held) EXPECT_FALSE(ByteFree(path, RecordLockOffset(r))) << r;
  for (uint32_t r : others)
    EXPECT_TRUE(FreeWithin(path, RecordLockOffset(r), std::chrono::seconds(2))) << r;
  ExpectRecordBytes(path, kRecords, held, "after the releases");
  // One held record let go of, and the others with everything kept at once.
  ASSERT_TRUE((*t)->UnlockRecord(57).ok());
  ASSERT_TRUE((*t)->LockRecord(20).ok());
  ASSERT_TRUE((*t)->UnlockRecord(20).ok());
  ASSERT_TRUE((*t)->UnlockAll().ok());
  ExpectRecordBytes(path, kRecords, {}, "after UnlockAll");
  ExpectWholeAndClean(path, kRecords);
}

TEST(KeptRecordLocks, ARecordJustLetGoOfIsFreeForOtherHandlesAndForAFileLock) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  MakeTable(path, 20);
  auto a = Table::Open(path);
  auto b = Table::Open(path);
  ASSERT_TRUE(a.ok() && b.ok());
  // Another handle of this process takes what `a` keeps, without waiting
  // (waiting out each kept lock would cost 5 ms a record).
  auto waited = Clock::duration::zero();
  for (uint32_t r = 1; r <= 20; ++r) {
    ASSERT_TRUE((*a)->LockRecord(r).ok());
    ASSERT_TRUE((*a)->UnlockRecord(r).ok());
    auto start = Clock::now();
    ASSERT_TRUE((*b)->LockRecord(r).ok()) << r;
    waited += Clock::now() - start;
    // And `a` asking again now finds it busy: `b` holds it.
    EXPECT_TRUE((*a)->LockRecord(r).IsBusy()) << r;
    ASSERT_TRUE((*b)->UnlockRecord(r).ok());
  }
  EXPECT_LT(waited, std::chrono::milliseconds(50)) << "waited for kept locks";
  ASSERT_TRUE((*b)->UnlockAll().ok());
  // A file lock taken while records are kept covers them all: none of the
  // kept bytes may be let go of afterwards, leaving a hole in it.
  for (uint32_t r = 3; r <= 9; ++r) {
    ASSERT_TRUE((*a)->LockRecord(r).ok());
    ASSERT_TRUE((*a)->UnlockRecord(r).ok());
  }
  ASSERT_TRUE((*a)->LockFile().ok());
  std::this_thread::sleep_for(LingeringLock::kMaxHold * 4);  // the keeper's time passes
  for (uint32_t r = 1; r <= 20; ++r) EXPECT_FALSE(ByteFree(path, RecordLockOffset(r))) << r;
  EXPECT_TRUE((*b)->LockRecord(5).IsBusy());
  ASSERT_TRUE((*a)->UnlockAll().ok());
  ASSERT_TRUE((*b)->LockRecord(5).ok());
}

TEST(KeptRecordLocks, OtherProcessesGetARecordJustLetGoOfAndOneLockedOverAndOver) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  MakeTable(path, 10);
  auto t = Table::Open(path);
  ASSERT_TRUE(t.ok());
  int go[2], report[2];
  ASSERT_EQ(pipe(go), 0);
  ASSERT_EQ(pipe(report), 0);
  pid_t child = fork();
  if (child == 0) {
    // Inherited kept records are the parent's: letting go of every kept
    // lock here must not touch them.
    ReleaseLingeringLocks();
    auto c = Table::Open(path);
    if (!c.ok()) _exit(2);
    char step = 0;
    // 1: record 3 was just let go of by the parent, which keeps it.
    if (read(go[0], &step, 1) != 1) _exit(3);
    int got = (*c)->LockRecord(3).ok() ? 1 : 0;
    if (got) (void)(*c)->UnlockRecord(3);
    // 2: the parent locks and lets go of record 4 without pause.
    if (read(go[0], &step, 1) != 1) _exit(3);
    int turns = 0;
    for (auto start = Clock::now(); Clock::now() - start < std::chrono::milliseconds(400);) {
      if ((*c)->LockRecord(4).ok()) {
        ++turns;
        (void)(*c)->UnlockRecord(4);
      }
    }
    int msg[2] = {got, turns};
    if (write(report[1], msg, sizeof msg) != sizeof msg) _exit(4);
    _exit(0);
  }
  close(report[1]);
  ASSERT_TRUE((*t)->LockRecord(3).ok());
  ASSERT_TRUE((*t)->UnlockRecord(3).ok());
  ASSERT_EQ(write(go[1], "1", 1), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(write(go[1], "2", 1), 1);
  int mine = 0;
  for (auto start = Clock::now(); Clock::now() - start < std::chrono::milliseconds(500);) {
    if (!(*t)->LockRecord(4).ok()) continue;
    ++mine;
    ASSERT_TRUE((*t)->UnlockRecord(4).ok());
  }
  int st = 0;
  waitpid(child, &st, 0);
  ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "child exit " << WEXITSTATUS(st);
  int msg[2] = {0, 0};
  ASSERT_EQ(read(report[0], msg, sizeof msg), static_cast<ssize_t>(sizeof msg));
  EXPECT_EQ(msg[0], 1) << "a record let go of was refused to another process";
  EXPECT_GT(msg[1], 5) << "a record locked over and over starved the other process";
  EXPECT_GT(mine, 5);
  close(report[0]);
  close(go[0]);
  close(go[1]);
}

TEST(KeptRecordLocks, AKeptRecordTakenBackAfterAForkIsStillLocked) {
  qztest::TempDir dir;
  const std::string path = dir.file("L.DBF");
  MakeTable(path, 10);
  auto t = Table::Open(path);
  ASSERT_TRUE(t.ok());
  ASSERT_TRUE((*t)->LockRecord(6).ok());
  ASSERT_TRUE((*t)->UnlockRecord(6).ok());
  // The child shares the parent's open file: were it to let go of the
  // parent's kept byte, the parent's lock taken back below would be gone.
  pid_t child = fork();
  if (child == 0) {
    ReleaseLingeringLocks();
    _exit(0);
  }
  int st = 0;
  waitpid(child, &st, 0);
  ASSERT_TRUE((*t)->LockRecord(6).ok());
  EXPECT_FALSE(ByteFree(path, RecordLockOffset(6)));
  std::this_thread::sleep_for(LingeringLock::kMaxHold * 4);
  EXPECT_FALSE(ByteFree(path, RecordLockOffset(6))) << "a held record was let go of";
  ASSERT_TRUE((*t)->UnlockRecord(6).ok());
  EXPECT_TRUE(FreeWithin(path, RecordLockOffset(6), std::chrono::seconds(2)));
}

}  // namespace
}  // namespace xb
