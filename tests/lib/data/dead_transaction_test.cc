// Transactions whose process died: the first live process that meets them
// rolls them back before it can build on their values, whatever the dead
// process had reached, and a journal is never seen unfinished.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "lib/data/journal.h"
#include "lib/data/locking.h"
#include "lib/data/table_optimize.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/settings/globals.h"
#include "support/installation.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

double Precio(const std::string& root, uint32_t recno) {
  auto t = xb::Table::Open(root + "BASES/ARTICULO.DBF");
  EXPECT_TRUE((*t)->GoTo(recno).ok());
  return (*t)->Get("PRECIO")->number();
}

std::vector<std::string> CheckProblems(const std::string& path) {
  auto t = xb::Table::Open(path);
  std::vector<std::string> problems;
  EXPECT_TRUE((*t)->Check(&problems).ok());
  return problems;
}

// A second workstation: changes record `recno` and appends one inside a
// transaction (`atomic`: the kind the local engine journals too), tells the
// parent, then waits to be killed.
[[noreturn]] void WorkstationThatDies(const std::string& root, int ready_fd, bool atomic = false,
                                      uint32_t recno = 1) {
  ResetGlobals();
  ResetWorkAreas();
  if (StartDataLayer(root) != StartResult::kContinue) _exit(2);
  try {
    TablePtr t = USE(nullptr, "ARTICULO");
    if (atomic)
      START_ATOMIC_TRANSACTION();
    else
      START_TRANSACTION();
    t->GoTo(recno);
    LOCK_FOR_MODIFY(*t);
    t->FieldPut("PRECIO", xb::Value::Number(99));
    UNLOCK_FOR_MODIFY(*t);
    ADD_NEW_REC(*t);
    t->FieldPut("CODIGO", xb::Value::Char("NUEVO"));
    UNLOCK_NEW_REC(*t);
    t->Commit();
  } catch (...) {
    _exit(3);
  }
  char ok = 'k';
  if (write(ready_fd, &ok, 1) != 1) _exit(4);
  for (;;) pause();
}

TEST(DeadTransaction, FirstLiveProcessThatLocksRollsItBackFirst) {
  qztest::Installation inst;
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) WorkstationThatDies(inst.root, fds[1]);
  char c = 0;
  ASSERT_EQ(read(fds[0], &c, 1), 1);
  close(fds[0]);
  close(fds[1]);
  // This workstation started while the other one was alive: its start left
  // the live journal alone.
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  TablePtr t = USE(nullptr, "ARTICULO");
  EXPECT_EQ(Precio(inst.root, 1), 99);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);

  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);  // meets the dead transaction first
  EXPECT_EQ(t->FieldGet("PRECIO").number(), 10);
  t->FieldPut("PRECIO", xb::Value::Number(t->FieldGet("PRECIO").number() + 1));
  UNLOCK_FOR_MODIFY(*t);
  EXPECT_EQ(Precio(inst.root, 1), 11);
  t->GoTo(2);
  EXPECT_TRUE(t->Deleted());  // the dead append is erased
  for (const auto& e : fs::directory_iterator(JournalFolder(inst.root)))
    ADD_FAILURE() << "left in the journal folder: " << e.path();
  EXPECT_TRUE(CheckProblems(inst.root + "BASES/ARTICULO.DBF").empty());
}

// Starts a workstation that dies inside an atomic transaction, starts this
// one while it is alive (so the start leaves its journal alone), then kills it.
void OutliveAWorkstation(qztest::Installation& inst, uint32_t recno) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) WorkstationThatDies(inst.root, fds[1], true, recno);
  char c = 0;
  ASSERT_EQ(read(fds[0], &c, 1), 1);
  close(fds[0]);
  close(fds[1]);
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

// The local engine has no guard at each lock: a workstation already running
// meets a dead one's journal when it starts its own atomic work.
TEST(DeadTransaction, LocalEngineUndoesItBeforeTheNextAtomicWork) {
  qztest::Installation inst;
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
  OutliveAWorkstation(inst, 1);
  ASSERT_FALSE(IsServerEngine());
  EXPECT_EQ(Precio(inst.root, 1), 99);

  TablePtr t = USE(nullptr, "ARTICULO");
  START_ATOMIC_TRANSACTION();
  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);
  EXPECT_EQ(t->FieldGet("PRECIO").number(), 10);
  t->FieldPut("PRECIO", xb::Value::Number(t->FieldGet("PRECIO").number() + 1));
  UNLOCK_FOR_MODIFY(*t);
  END_TRANSACTION();
  EXPECT_EQ(Precio(inst.root, 1), 11);
  t->GoTo(2);
  EXPECT_TRUE(t->Deleted());
  // The next program start finds nothing to roll back over the committed work.
  EXPECT_EQ(RecoverJournals(inst.root).journals, 0);
  EXPECT_EQ(Precio(inst.root, 1), 11);
}

// A journal names records by number and a pack renumbers them: optimising
// with a dead journal pending would let a later rollback write the dead
// process's "before" image over another row.
TEST(DeadTransaction, OptimizingFirstUndoesADeadLocalJournal) {
  qztest::Installation inst;
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
  qztest::AddArticulo(inst.root, "HOTEL", "A2", "SILLA", 20);
  {
    auto t = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF");
    ASSERT_TRUE((*t)->GoTo(1).ok());
    ASSERT_TRUE((*t)->LockRecord(1).ok());
    ASSERT_TRUE((*t)->Delete().ok());
  }
  OutliveAWorkstation(inst, 2);
  ResetWorkAreas();  // the table must not be open here for the exclusive pack

  OptimizeReport r = OptimizeTables({"ARTICULO"});
  ASSERT_EQ(r.outcome, OptimizeReport::Outcome::kDone) << r.detail;
  EXPECT_EQ(Precio(inst.root, 1), 20);  // A2, now record 1, as before the dead change
  EXPECT_EQ(RecoverJournals(inst.root).journals, 0);
  EXPECT_EQ(Precio(inst.root, 1), 20);
  auto t = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF");
  EXPECT_EQ(*(*t)->RecCount(), 1u);
  EXPECT_TRUE(CheckProblems(inst.root + "BASES/ARTICULO.DBF").empty());
}

// A journal left by a dead process whose only entry is record 1's image
// before its CODIGO became "ZZ".
void LeaveDeadJournal(const std::string& root, const std::string& before) {
  auto j = JournalFile::Create(JournalFolder(root));
  ASSERT_TRUE(j.ok());
  ASSERT_TRUE((*j)->Add({'B', "BASES/ARTICULO.DBF", 1, before}).ok());
  // Closing without Discard is what a killed process leaves: the file stays,
  // its lock goes.
}

TEST(DeadTransaction, RestoreSucceedsWhereverTheDeadProcessStopped) {
  enum Reached { kNothing, kDataOnly, kDataAndIndex };
  for (Reached reached : {kNothing, kDataOnly, kDataAndIndex}) {
    SCOPED_TRACE(reached);
    qztest::Installation inst;
    qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
    qztest::AddArticulo(inst.root, "HOTEL", "A2", "SILLA", 20);
    const std::string path = inst.root + "BASES/ARTICULO.DBF";
    std::string before;
    uint16_t header_len = 0;
    {
      auto t = xb::Table::Open(path);
      ASSERT_TRUE((*t)->GoTo(1).ok());
      before = (*t)->RecordBytes();
    }
    {
      std::ifstream in(path, std::ios::binary);
      char h[12];
      in.read(h, 12);
      header_len = static_cast<uint8_t>(h[8]) | (static_cast<uint8_t>(h[9]) << 8);
    }
    if (reached == kDataOnly) {
      // The record reached the file, its new key did not reach the index.
      std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
      f.seekp(header_len + 1 + 15);
      f.write("ZZ             ", 15);
    } else if (reached == kDataAndIndex) {
      auto t = xb::Table::Open(path);
      ASSERT_TRUE((*t)->GoTo(1).ok());
      ASSERT_TRUE((*t)->LockRecord(1).ok());
      ASSERT_TRUE((*t)->Put("CODIGO", xb::Value::Char("ZZ")).ok());
      ASSERT_TRUE((*t)->Close().ok());
    }
    LeaveDeadJournal(inst.root, before);

    RecoveryReport r = RecoverJournals(inst.root);
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
    EXPECT_EQ(r.journals, 1);
    EXPECT_TRUE(fs::is_empty(JournalFolder(inst.root)));  // no alert at the next start
    auto t = xb::Table::Open(path);
    ASSERT_TRUE((*t)->GoTo(1).ok());
    EXPECT_EQ((*t)->RecordBytes(), before);
    ASSERT_TRUE((*t)->SetOrder("ARTICULO").ok());
    ASSERT_TRUE((*t)->Seek(xb::Value::Char("HOTEL          A1")).ok());
    EXPECT_TRUE((*t)->Found());
    EXPECT_TRUE(CheckProblems(path).empty());
  }
}

TEST(DeadTransaction, JournalBeingBornIsNotTakenForADeadOne) {
  qztest::Installation inst;
  const std::string folder = JournalFolder(inst.root);
  fs::create_directories(folder);
  xb::Env* env = xb::Env::Default();
  // One being written right now by a live process (its lock held), and one
  // whose process died before it was complete.
  auto live = env->Create(folder + "OTHER-1-1.JNEW", true);
  ASSERT_TRUE(live.ok());
  ASSERT_TRUE((*live)->Lock(kJournalLockOffset, 1, true).ok());
  { auto dead = env->Create(folder + "OTHER-2-1.JNEW", true); }
  RecoveryReport r = RecoverJournals(inst.root);
  EXPECT_TRUE(r.problems.empty());
  EXPECT_TRUE(fs::exists(folder + "OTHER-1-1.JNEW"));
  EXPECT_FALSE(fs::exists(folder + "OTHER-2-1.JNEW"));

  // Our own journal is complete and locked before it bears its real name.
  auto j = JournalFile::Create(folder);
  ASSERT_TRUE(j.ok());
  EXPECT_EQ((*j)->path().substr((*j)->path().size() - 4), ".JRN");
  auto peek = env->Open((*j)->path(), xb::OpenMode::kReadWrite);
  ASSERT_TRUE(peek.ok());
  EXPECT_TRUE((*peek)->Lock(kJournalLockOffset, 1, true).IsBusy());
  uint64_t size = 0;
  ASSERT_TRUE((*peek)->Size(&size).ok());
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(RecoverJournals(inst.root).journals, 0);
  EXPECT_TRUE(fs::exists((*j)->path()));
}

}  // namespace
}  // namespace qz
