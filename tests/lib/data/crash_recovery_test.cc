// A workstation killed in the middle of a transaction: the next start finds
// its journal unlocked and puts every record and tag back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "lib/data/journal.h"
#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "support/installation.h"

namespace qz {
namespace {

std::vector<std::string> AllRecords(const std::string& path) {
  std::vector<std::string> out;
  auto t = xb::Table::Open(path);
  EXPECT_TRUE(t.ok());
  uint32_t n = *(*t)->RecCount();
  bool hidden = xb::DeletedHidden();
  xb::SetDeletedHidden(false);
  for (uint32_t r = 1; r <= n; ++r) {
    EXPECT_TRUE((*t)->GoTo(r).ok());
    out.push_back((*t)->RecordBytes());
  }
  xb::SetDeletedHidden(hidden);
  return out;
}

// The work of the doomed process: changes, deletes and appends, then waits.
[[noreturn]] void DoomedWorkstation(const std::string& root, int ready_fd) {
  ResetGlobals();
  G().EXT_MODULO = "PCFG";
  if (StartDataLayer(root) != StartResult::kContinue) _exit(2);
  try {
    TablePtr t = USE(nullptr, "ARTICULO", "ARTICULO");
    START_TRANSACTION();
    for (uint32_t r = 1; r <= 20; ++r) {
      t->GoTo(r);
      LOCK_FOR_MODIFY(*t);
      t->FieldPut("CODIGO", xb::Value::Char("Z" + std::to_string(r)));
      t->FieldPut("PRECIO", xb::Value::Number(r * 1000));
      if (r % 5 == 0) t->Delete();
      UNLOCK_FOR_MODIFY(*t);
    }
    for (int i = 0; i < 10; ++i) {
      ADD_NEW_REC(*t);
      t->FieldPut("NEGOCIO", xb::Value::Char("HOTEL"));
      t->FieldPut("CODIGO", xb::Value::Char("NUEVO" + std::to_string(i)));
      UNLOCK_NEW_REC(*t);
    }
    t->Commit();
  } catch (...) {
    _exit(3);
  }
  char ok = 'k';
  if (write(ready_fd, &ok, 1) != 1) _exit(4);
  for (;;) pause();
}

TEST(CrashRecovery, KilledMidTransactionLeavesTablesAndTagsAsBefore) {
  qztest::Installation inst;
  for (int i = 1; i <= 40; ++i)
    qztest::AddArticulo(inst.root, "HOTEL", "C" + std::to_string(i),
                        "ARTICULO " + std::to_string(i), i);
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  const std::string path = inst.root + "BASES/ARTICULO.DBF";
  const auto before = AllRecords(path);

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) DoomedWorkstation(inst.root, fds[1]);
  char c = 0;
  ASSERT_EQ(read(fds[0], &c, 1), 1) << "the child did not finish its changes";
  close(fds[0]);
  close(fds[1]);
  EXPECT_NE(AllRecords(path), before);  // the changes reached the file
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  ASSERT_EQ(inst.Start(), StartResult::kContinue);  // the next start recovers
  auto after = AllRecords(path);
  ASSERT_EQ(after.size(), before.size() + 10);
  for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[i]) << "record " << i + 1;
  for (size_t i = before.size(); i < after.size(); ++i) EXPECT_EQ(after[i][0], '*');
  auto t = xb::Table::Open(path);
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
  ASSERT_TRUE((*t)->SetOrder("ARTICULO").ok());
  EXPECT_EQ(*(*t)->KeyCount(), 40u);
  EXPECT_TRUE(std::filesystem::is_empty(JournalFolder(inst.root)));
}

TEST(CrashRecovery, JournalOfALiveTransactionIsLeftAlone) {
  qztest::Installation inst;
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  TablePtr t = USE(nullptr, "ARTICULO");
  START_TRANSACTION();
  LOCK_FOR_MODIFY(*t);
  t->FieldPut("PRECIO", xb::Value::Number(50));
  UNLOCK_FOR_MODIFY(*t);
  RecoveryReport r = RecoverJournals(inst.root);  // another workstation starting
  EXPECT_EQ(r.journals, 0);
  EXPECT_EQ(AllRecords(inst.root + "BASES/ARTICULO.DBF").size(), 1u);
  END_TRANSACTION();
  auto check = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF");
  EXPECT_EQ((*check)->Get("PRECIO")->number(), 50);
}

TEST(CrashRecovery, TornLastEntryIsIgnored) {
  JournalEntry e{'B', "BASES/X.DBF", 3, std::string(" abc")};
  std::string bytes = "QZJRNL01";
  // Two entries written by hand through the parser's own format.
  auto put32 = [](std::string* s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s->push_back(static_cast<char>(v >> (8 * i)));
  };
  std::string body;
  body.push_back('B');
  body.push_back(static_cast<char>(e.table.size()));
  body.push_back(0);
  body += e.table;
  put32(&body, e.recno);
  put32(&body, static_cast<uint32_t>(e.image.size()));
  body += e.image;
  uint32_t h = 2166136261u;
  for (unsigned char ch : body) h = (h ^ ch) * 16777619u;
  put32(&bytes, static_cast<uint32_t>(body.size()));
  bytes += body;
  put32(&bytes, h);
  std::string torn = bytes + bytes.substr(8, 10);  // half of a second entry
  std::vector<JournalEntry> entries;
  bool done = true;
  ParseJournal(torn, &entries, &done);
  EXPECT_FALSE(done);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].recno, 3u);
  EXPECT_EQ(entries[0].image, " abc");
  ParseJournal("QZJDONE!" + bytes.substr(8), &entries, &done);
  EXPECT_TRUE(done);
}

}  // namespace
}  // namespace qz
