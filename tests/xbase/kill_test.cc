// Real kills: a child process is SIGKILLed at random moments of a long run of
// updates (key-changing, with memos) and of a pack, while a second process
// works on the same table. Whatever either of them committed must be there
// afterwards, each memo must belong to its record, and the table must check
// clean once the next user has recovered it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

constexpr int kRecords = 120;

std::string Code(uint32_t recno, int cnt) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d%04u", cnt % 10000, recno);
  return b;
}
std::string Note(uint32_t recno, int cnt) {
  return "v" + std::to_string(cnt) + ":" + std::string(40 + (recno * 37 + cnt * 11) % 500, 'a' + cnt % 26);
}

std::string MakeTable(const qztest::TempDir& dir, int records, bool deleted) {
  std::string path = dir.file("KILL.DBF");
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(path, {{"CODE", 'C', 8, 0}, {"CNT", 'N', 8, 0}, {"NOTE", 'M', 10, 0}}, co);
  EXPECT_TRUE(t.ok());
  EXPECT_TRUE((*t)->CreateTag("CODE", "CODE").ok());
  EXPECT_TRUE((*t)->CreateTag("CNT", "STR(CNT,8)+CODE", "", true).ok());
  for (int i = 1; i <= records; ++i) {
    EXPECT_TRUE((*t)->Append().ok());
    EXPECT_TRUE((*t)->Put("CODE", xb::Value::Char(Code(i, 0))).ok());
    EXPECT_TRUE((*t)->Put("CNT", xb::Value::Number(0)).ok());
    EXPECT_TRUE((*t)->Put("NOTE", xb::Value::Char(Note(i, 0))).ok());
    if (deleted && i % 4 == 0) {
      EXPECT_TRUE((*t)->Delete().ok());
    }
  }
  EXPECT_TRUE((*t)->Close().ok());
  return path;
}

// Updates records (odd or even ones) for ever, or `limit` times; after each
// committed update writes (recno, count) to `fd`.
[[noreturn]] void Updater(const std::string& path, int parity, int limit, int fd, unsigned seed) {
  auto t = xb::Table::Open(path);
  if (!t.ok()) _exit(3);
  std::mt19937 rng(seed);
  for (int done = 0; limit < 0 || done < limit;) {
    uint32_t r = static_cast<uint32_t>(rng() % (kRecords / 2)) * 2 + 1 + parity;
    if (!(*t)->GoTo(r).ok()) _exit(4);
    if (!(*t)->LockRecord().ok()) continue;  // busy: try another
    auto c = (*t)->Get("CNT");
    if (!c.ok()) _exit(5);
    int cnt = static_cast<int>(c->number()) + 1;
    bool ok = (*t)->Put("CNT", xb::Value::Number(cnt)).ok() &&
              (*t)->Put("CODE", xb::Value::Char(Code(r, cnt))).ok() &&
              (*t)->Put("NOTE", xb::Value::Char(Note(r, cnt))).ok() && (*t)->Flush().ok();
    if (!ok) _exit(6);
    (void)(*t)->UnlockRecord(r);
    int msg[2] = {static_cast<int>(r), cnt};
    if (write(fd, msg, sizeof msg) != sizeof msg) _exit(7);
    ++done;
  }
  _exit(0);
}

void ReadCommits(int fd, std::map<uint32_t, int>* committed) {
  int msg[2];
  while (read(fd, msg, sizeof msg) == sizeof msg) (*committed)[msg[0]] = std::max((*committed)[msg[0]], msg[1]);
}

// Opens as the next user would, repairs a record written without its index
// update, and checks every record against what was committed.
void Verify(const std::string& path, const std::map<uint32_t, int>& committed, int* reindexed) {
  xb::OpenOptions o;
  o.exclusive = true;
  auto t = xb::Table::Open(path, o);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  if (!problems.empty()) {
    ++*reindexed;
    ASSERT_TRUE((*t)->Reindex().ok());
    problems.clear();
    ASSERT_TRUE((*t)->Check(&problems).ok());
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
  }
  auto n = (*t)->RecCount();
  ASSERT_TRUE(n.ok());
  for (uint32_t r = 1; r <= *n; ++r) {
    ASSERT_TRUE((*t)->GoTo(r).ok());
    int cnt = static_cast<int>((*t)->Get("CNT")->number());
    std::string code = (*t)->Get("CODE")->str();
    uint32_t orig = static_cast<uint32_t>(std::stoul(code.substr(4)));
    auto note = (*t)->Get("NOTE");
    ASSERT_TRUE(note.ok()) << note.status().ToString();
    EXPECT_EQ(code, Code(orig, cnt)) << "record " << r;
    EXPECT_EQ(note->str(), Note(orig, cnt)) << "record " << r << ": memo of another version";
    auto it = committed.find(orig);
    if (it != committed.end()) {
      EXPECT_GE(cnt, it->second) << "record " << r << ": committed update lost";
      EXPECT_LE(cnt, it->second + 1) << "record " << r;
    }
  }
}

TEST(Kill, UpdatesKilledAtRandomLoseNothingCommitted) {
  xb::SetDeletedHidden(false);
  std::mt19937 rng(12345);
  int reindexed = 0;
  for (int round = 0; round < 4; ++round) {
    qztest::TempDir dir;
    std::string path = MakeTable(dir, kRecords, false);
    int victim_pipe[2], other_pipe[2];
    ASSERT_EQ(pipe(victim_pipe), 0);
    ASSERT_EQ(pipe(other_pipe), 0);
    pid_t victim = fork();
    if (victim == 0) Updater(path, 1, -1, victim_pipe[1], 1000 + round);
    pid_t other = fork();
    if (other == 0) Updater(path, 0, 80, other_pipe[1], 2000 + round);
    close(victim_pipe[1]);
    close(other_pipe[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + rng() % 300));
    kill(victim, SIGKILL);
    int st = 0;
    waitpid(victim, &st, 0);
    waitpid(other, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "the other process failed: " << st;
    std::map<uint32_t, int> committed;
    ReadCommits(victim_pipe[0], &committed);
    ReadCommits(other_pipe[0], &committed);
    close(victim_pipe[0]);
    close(other_pipe[0]);
    Verify(path, committed, &reindexed);
  }
  std::printf("[ kill ] 4 updaters killed; %d tables needed a reindex afterwards\n", reindexed);
  xb::SetDeletedHidden(true);
}

TEST(Kill, PackKilledAtRandomLeavesTheOldTableOrTheNew) {
  xb::SetDeletedHidden(false);
  std::mt19937 rng(777);
  int old_tables = 0, new_tables = 0;
  qztest::TempDir base;
  const int kBig = 6000;
  std::string base_path = MakeTable(base, kBig, true);
  for (int round = 0; round < 6; ++round) {
    qztest::TempDir dir;
    for (const char* ext : {".DBF", ".FPT", ".CDX"})
      std::filesystem::copy_file(base.file(std::string("KILL") + ext), dir.file(std::string("KILL") + ext));
    std::string path = dir.file("KILL.DBF");
    pid_t victim = fork();
    if (victim == 0) {
      xb::OpenOptions o;
      o.exclusive = true;
      auto t = xb::Table::Open(path, o);
      _exit(t.ok() && (*t)->Pack().ok() ? 0 : 1);
    }
    // The second process waits for the table (in use while packing), then
    // updates a record.
    pid_t other = fork();
    if (other == 0) {
      for (int i = 0; i < 2000; ++i) {
        auto t = xb::Table::Open(path);
        if (t.ok()) {
          bool ok = (*t)->GoTo(1).ok() && (*t)->LockRecord().ok() &&
                    (*t)->Put("NOTE", xb::Value::Char(Note(1, 0))).ok() && (*t)->Flush().ok();
          _exit(ok ? 0 : 2);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      _exit(3);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 1500));
    kill(victim, SIGKILL);
    int st = 0;
    waitpid(victim, &st, 0);
    waitpid(other, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "the other process failed: " << st;
    int reindexed = 0;
    Verify(path, {}, &reindexed);
    EXPECT_EQ(reindexed, 0);
    auto t = xb::Table::Open(path);
    ASSERT_TRUE(t.ok());
    auto n = (*t)->RecCount();
    ASSERT_TRUE(n.ok());
    EXPECT_TRUE(*n == static_cast<uint32_t>(kBig) || *n == static_cast<uint32_t>(kBig - kBig / 4)) << *n;
    (*n == static_cast<uint32_t>(kBig) ? old_tables : new_tables)++;
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
  }
  std::printf("[ kill ] 6 packs killed: %d left the old table, %d the packed one\n", old_tables,
              new_tables);
  xb::SetDeletedHidden(true);
}

}  // namespace
