// A pack SIGKILLed at chosen points: the child process dies just before its
// N-th change to the disk (a write, sync, creation, rename or removal), for a
// sample of N over the whole pack and every N of its final swap. The next
// user, whether it opens the table exclusively or shared, must find every
// record of the old table or exactly the packed one, each memo with its
// record, every tag clean without a reindex, and no build files left over.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <utility>

#include "support/fault_env.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace {

namespace fs = std::filesystem;

// Counts the changes a process makes through it and, from `kill_at` on,
// kills the process before the change reaches the disk.
struct Countdown {
  long changes = 0;
  long kill_at = -1;  // -1: only count
  void Change() {
    if (kill_at >= 0 && changes == kill_at) raise(SIGKILL);
    ++changes;
  }
};

class KillFile : public xb::File {
 public:
  KillFile(std::unique_ptr<xb::File> base, Countdown* c) : File(base->path()), base_(std::move(base)), c_(c) {}
  xb::Status ReadAt(uint64_t o, void* b, size_t n, size_t* got) override { return base_->ReadAt(o, b, n, got); }
  xb::Status WriteAt(uint64_t o, const void* b, size_t n) override {
    c_->Change();
    return base_->WriteAt(o, b, n);
  }
  xb::Status Sync() override {
    c_->Change();
    return base_->Sync();
  }
  xb::Status Size(uint64_t* s) override { return base_->Size(s); }
  xb::Status Truncate(uint64_t s) override {
    c_->Change();
    return base_->Truncate(s);
  }
  xb::Status Lock(uint64_t o, uint64_t l, bool x) override { return base_->Lock(o, l, x); }
  xb::Status Unlock(uint64_t o, uint64_t l) override { return base_->Unlock(o, l); }

 private:
  std::unique_ptr<xb::File> base_;
  Countdown* c_;
};

class KillEnv : public xb::Env {
 public:
  Countdown countdown;
  xb::Result<std::unique_ptr<xb::File>> Open(const std::string& p, xb::OpenMode m) override {
    return Wrap(base_->Open(p, m));
  }
  xb::Result<std::unique_ptr<xb::File>> Create(const std::string& p, bool t) override {
    countdown.Change();
    return Wrap(base_->Create(p, t));
  }
  xb::Status Remove(const std::string& p) override {
    countdown.Change();
    return base_->Remove(p);
  }
  xb::Status Rename(const std::string& a, const std::string& b) override {
    countdown.Change();
    return base_->Rename(a, b);
  }
  xb::Status Stat(const std::string& p, xb::FileInfo* i) override { return base_->Stat(p, i); }
  xb::Status ListDir(const std::string& d, std::vector<std::string>* n) override { return base_->ListDir(d, n); }
  xb::Status MakeDir(const std::string& d) override { return base_->MakeDir(d); }

 private:
  xb::Result<std::unique_ptr<xb::File>> Wrap(xb::Result<std::unique_ptr<xb::File>> r) {
    if (!r.ok()) return r.status();
    return std::unique_ptr<xb::File>(new KillFile(std::move(*r), &countdown));
  }
  xb::Env* base_ = xb::Env::Default();
};

struct Row {
  bool deleted;
  std::string code, note;
  bool operator==(const Row&) const = default;
};

constexpr int kRecords = 300;

std::string NoteOf(int i) { return "nota " + std::to_string(i) + " " + std::string(20 + i % 90, 'a' + i % 26); }

void MakeTable(const std::string& path) {
  xb::CreateOptions co;
  co.exclusive = true;
  auto t = xb::Table::Create(path, {{"CODE", 'C', 8, 0}, {"NOTE", 'M', 10, 0}}, co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_TRUE((*t)->CreateTag("CODE", "CODE").ok());
  ASSERT_TRUE((*t)->CreateTag("CODED", "CODE", "", true).ok());
  for (int i = 1; i <= kRecords; ++i) {
    ASSERT_TRUE((*t)->Append().ok());
    ASSERT_TRUE((*t)->Put("CODE", xb::Value::Char("K" + std::to_string(100000 + i))).ok());
    if (i % 5) {
      ASSERT_TRUE((*t)->Put("NOTE", xb::Value::Char(NoteOf(i))).ok());
    }
    if (i % 3 == 0) {
      ASSERT_TRUE((*t)->Delete().ok());
    }
  }
  ASSERT_TRUE((*t)->Close().ok());
}

std::vector<Row> ReadAll(const std::string& path, bool exclusive, std::vector<std::string>* problems) {
  xb::OpenOptions o;
  o.exclusive = exclusive;
  auto t = xb::Table::Open(path, o);
  EXPECT_TRUE(t.ok()) << t.status().ToString();
  if (!t.ok()) return {};
  EXPECT_TRUE((*t)->Check(problems).ok());
  std::vector<Row> rows;
  for (uint32_t r = 1; r <= *(*t)->RecCount(); ++r) {
    EXPECT_TRUE((*t)->GoTo(r).ok());
    auto note = (*t)->Get("NOTE");
    EXPECT_TRUE(note.ok()) << "record " << r << ": " << note.status().ToString();
    rows.push_back({(*t)->Deleted(), (*t)->Get("CODE")->str(), note.ok() ? note->str() : "?"});
  }
  return rows;
}

void CopyTable(const std::string& from, const std::string& to) {
  fs::remove_all(to);
  fs::create_directories(to);
  for (const auto& e : fs::directory_iterator(from)) fs::copy_file(e.path(), fs::path(to) / e.path().filename());
}

long PackThrough(KillEnv* env, const std::string& path) {
  xb::OpenOptions o;
  o.env = env;
  o.exclusive = true;
  auto t = xb::Table::Open(path, o);
  if (!t.ok() || !(*t)->Pack().ok() || !(*t)->Close().ok()) return -1;
  return env->countdown.changes;
}

TEST(PackKillPoints, AKilledPackLeavesTheWholeOldTableOrTheWholePackedOne) {
  xb::SetDeletedHidden(false);
  qztest::TempDir tmp;
  const std::string base = tmp.file("base"), work = tmp.file("work");
  fs::create_directories(base);
  MakeTable(base + "/PAGOS.DBF");
  std::vector<std::string> problems;
  const std::vector<Row> before = ReadAll(base + "/PAGOS.DBF", true, &problems);
  std::vector<Row> after;
  for (const Row& r : before)
    if (!r.deleted) after.push_back(r);

  // The run without a kill: how many changes a pack makes.
  CopyTable(base, work);
  KillEnv counting;
  const long total = PackThrough(&counting, work + "/PAGOS.DBF");
  ASSERT_GT(total, 12);
  EXPECT_EQ(ReadAll(work + "/PAGOS.DBF", true, &problems), after);

  std::vector<long> points;
  for (long n = 0; n < total - 12; n += std::max<long>(1, (total - 12) / 8)) points.push_back(n);
  for (long n = std::max<long>(0, total - 12); n < total; ++n) points.push_back(n);  // the swap
  int old_kept = 0, packed = 0;
  for (long n : points) {
    SCOPED_TRACE("killed before change " + std::to_string(n) + " of " + std::to_string(total));
    CopyTable(base, work);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      KillEnv env;
      env.countdown.kill_at = n;
      _exit(PackThrough(&env, work + "/PAGOS.DBF") < 0 ? 1 : 0);
    }
    int st = 0;
    waitpid(child, &st, 0);
    ASSERT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == SIGKILL) << "the pack was not killed: " << st;
    // Every other point, the next user is an ordinary shared opener.
    problems.clear();
    const std::vector<Row> got = ReadAll(work + "/PAGOS.DBF", n % 2 == 0, &problems);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
    EXPECT_TRUE(got == before || got == after) << got.size() << " records";
    (got == before ? old_kept : packed)++;
    for (const auto& e : fs::directory_iterator(work)) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name.find(".new") == std::string::npos && name.find(".swap") == std::string::npos)
          << "left over: " << name;
    }
  }
  EXPECT_GT(old_kept, 0);
  EXPECT_GT(packed, 0);
  std::printf("[ kill ] %zu packs killed at chosen points (%ld changes each): %d kept the old table, "
              "%d the packed one\n", points.size(), total, old_kept, packed);
  xb::SetDeletedHidden(true);
}

// A pack that died between its renames leaves the new memo and index under
// the table's names beside the old DBF. A user who may only read cannot
// finish the renames; it must be refused, not shown the old records with the
// new memo blocks.
TEST(PackKillPoints, AReaderThatMayNotWriteIsRefusedHalfASwap) {
  xb::SetDeletedHidden(false);
  qztest::TempDir tmp;
  const std::string base = tmp.file("base"), work = tmp.file("work");
  fs::create_directories(base);
  MakeTable(base + "/PAGOS.DBF");
  std::vector<std::string> problems;
  const std::vector<Row> before = ReadAll(base + "/PAGOS.DBF", true, &problems);
  // How many changes a whole pack makes: the swap is at the end.
  auto pack_dying_after = [&](long n) {
    CopyTable(base, work);
    qztest::FaultEnv dying;
    dying.faults.killed = true;
    dying.faults.fail_writes_after = static_cast<int>(n);
    xb::OpenOptions o;
    o.env = &dying;
    o.exclusive = true;
    auto t = xb::Table::Open(work + "/PAGOS.DBF", o);
    EXPECT_TRUE(t.ok());
    if (t.ok()) (void)(*t)->Pack();
    return dying.faults.changes.load();
  };
  const long total = pack_dying_after(-1);
  int half_swaps = 0;
  for (long n = std::max(0L, total - 20); n < total; ++n) {
    pack_dying_after(n);
    if (!fs::exists(work + "/PAGOS.DBF.swap") || !fs::exists(work + "/PAGOS.DBF.new") ||
        fs::exists(work + "/PAGOS.FPT.new"))
      continue;  // not between the memo's rename and the table's
    ++half_swaps;
    qztest::FaultEnv reader;
    reader.faults.refuse_write_opens = true;
    xb::OpenOptions o;
    o.env = &reader;
    o.read_only = true;
    auto t = xb::Table::Open(work + "/PAGOS.DBF", o);
    EXPECT_FALSE(t.ok()) << "read the old records beside the new memo";
    if (!t.ok()) {
      EXPECT_TRUE(t.status().IsBusy()) << t.status().ToString();
    }
    // The next user who may write finishes the pack.
    std::vector<Row> after;
    for (const Row& r : before)
      if (!r.deleted) after.push_back(r);
    EXPECT_EQ(ReadAll(work + "/PAGOS.DBF", false, &problems), after);
  }
  EXPECT_GT(half_swaps, 0);
  xb::SetDeletedHidden(true);
}

// An Env that, the first time the table is opened through it, lets another
// user pack the table between the open and the lock that follows: the
// opener then holds a file the pack has just replaced.
class PackBetweenOpenAndLock : public xb::Env {
 public:
  std::function<void()> meanwhile;
  xb::Result<std::unique_ptr<xb::File>> Open(const std::string& p, xb::OpenMode m) override {
    auto f = base_->Open(p, m);
    if (meanwhile) std::exchange(meanwhile, nullptr)();
    return f;
  }
  xb::Result<std::unique_ptr<xb::File>> Create(const std::string& p, bool t) override { return base_->Create(p, t); }
  xb::Status Remove(const std::string& p) override { return base_->Remove(p); }
  xb::Status Rename(const std::string& a, const std::string& b) override { return base_->Rename(a, b); }
  xb::Status Stat(const std::string& p, xb::FileInfo* i) override { return base_->Stat(p, i); }
  xb::Status ListDir(const std::string& d, std::vector<std::string>* n) override { return base_->ListDir(d, n); }
  xb::Status MakeDir(const std::string& d) override { return base_->MakeDir(d); }

 private:
  xb::Env* base_ = xb::Env::Default();
};

TEST(PackKillPoints, AnOpenerThatMeetsAFinishedPackNeverWritesIntoTheReplacedFile) {
  qztest::TempDir tmp;
  const std::string path = tmp.file("PAGOS.DBF");
  MakeTable(path);
  PackBetweenOpenAndLock env;
  env.meanwhile = [&] {
    xb::OpenOptions o;
    o.exclusive = true;
    auto t = xb::Table::Open(path, o);
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    ASSERT_TRUE((*t)->Pack().ok());
    ASSERT_TRUE((*t)->Close().ok());
  };
  xb::OpenOptions o;
  o.env = &env;
  auto late = xb::Table::Open(path, o);
  if (late.ok()) {
    // Whatever it opened must be the packed table, so what it adds stays.
    EXPECT_EQ(*(*late)->RecCount(), static_cast<uint32_t>(kRecords - kRecords / 3));
    ASSERT_TRUE((*late)->Append().ok());
    ASSERT_TRUE((*late)->Put("CODE", xb::Value::Char("NUEVO")).ok());
    ASSERT_TRUE((*late)->Close().ok());
    auto t = xb::Table::Open(path);
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->SetOrder("CODE").ok());
    ASSERT_TRUE((*t)->Seek(xb::Value::Char("NUEVO")).ok());
    EXPECT_TRUE((*t)->Found()) << "the record went into the file the pack replaced";
  } else {
    // Or it is told to come back, as for a table in use.
    EXPECT_TRUE(late.status().IsBusy()) << late.status().ToString();
    EXPECT_TRUE(xb::Table::Open(path).ok());
  }
}

}  // namespace
