// Locks against another user: patience outside a transaction, the abort and
// rollback inside one, and locks of changed records held to the end.
#include "lib/data/locking.h"

#include <gtest/gtest.h>

#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "support/fake_clock.h"
#include "support/installation.h"
#include "support/scripted_boxes.h"

namespace qz {
namespace {

std::unique_ptr<xb::Table> OtherUser(const std::string& root, const char* table) {
  auto t = xb::Table::Open(root + "BASES/" + table + ".DBF");
  EXPECT_TRUE(t.ok());
  return std::move(*t);
}

class LockingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
    qztest::AddArticulo(inst.root, "HOTEL", "A2", "SILLA", 20);
  }
  qztest::FakeClock clock;
  qztest::ScriptedBoxes boxes;
  qztest::Installation inst;
};

TEST_F(LockingTest, NoMessageForFiveSecondsThenOnePerAttemptUntilReleased) {
  inst.Start();
  auto other = OtherUser(inst.root, "ARTICULO");
  ASSERT_TRUE(other->LockRecord(1).ok());
  const int64_t start = clock.TickMs();
  std::vector<int64_t> shown_at;
  boxes.on_show = [&](const qztest::ShownBox&) {
    shown_at.push_back(clock.TickMs() - start);
    if (clock.TickMs() - start >= 7000) other->UnlockRecord(1);  // released after 7 s
  };
  TablePtr t = USE(nullptr, "ARTICULO");
  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);
  ASSERT_FALSE(shown_at.empty());
  EXPECT_GE(shown_at.front(), 5000);
  EXPECT_EQ(shown_at.back(), 7000);
  EXPECT_EQ(shown_at.size(), 21u);  // 5.0 s, 5.1 s ... 7.0 s
  EXPECT_EQ(boxes.shown[0].text, "El dato se encuentra bloqueado: ARTICUL001");
  EXPECT_EQ(boxes.shown[0].title, "Alerta");
  t->FieldPut("PRECIO", xb::Value::Number(11));
  UNLOCK_FOR_MODIFY(*t);
  EXPECT_TRUE(other->LockRecord(1).ok());  // released again
  EXPECT_EQ(other->Get("PRECIO")->number(), 11);
}

TEST_F(LockingTest, InsideATransactionTheLockAbortsAndEverythingIsUndone) {
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  qztest::ScriptedErrorDialog dialog;
  G().XUSER_ABREVIA = "ANA";
  auto other = OtherUser(inst.root, "ARTICULO");
  ASSERT_TRUE(other->LockRecord(2).ok());
  TablePtr t = USE(nullptr, "ARTICULO", "ARTICULO");
  OperationResult r = RunOperation([&] {
    START_TRANSACTION(2, 7);
    t->GoTo(1);
    LOCK_FOR_MODIFY(*t);
    t->FieldPut("DESCRIP", xb::Value::Char("MESA GRANDE"));
    UNLOCK_FOR_MODIFY(*t);
    ADD_NEW_REC(*t);
    t->FieldPut("NEGOCIO", xb::Value::Char("HOTEL"));
    t->FieldPut("CODIGO", xb::Value::Char("A0"));
    UNLOCK_NEW_REC(*t);
    t->GoTo(2);
    LOCK_FOR_MODIFY(*t);  // held by the other user: aborts after 5 s
    ADD_FAILURE() << "not aborted";
  });
  EXPECT_EQ(r, OperationResult::kIgnored);
  EXPECT_TRUE(boxes.shown.empty());  // no "Alerta" inside a transaction
  ASSERT_EQ(dialog.lines.size(), 1u);
  EXPECT_NE(dialog.lines[0].find("El dato se encuentra bloqueado: ARTICUL001/         2"),
            std::string::npos);
  EXPECT_EQ(G().XADSTRANS, 0);

  auto check = OtherUser(inst.root, "ARTICULO");
  ASSERT_TRUE(check->GoTo(1).ok());
  EXPECT_EQ(check->Get("DESCRIP")->str().substr(0, 5), "MESA ");
  EXPECT_EQ(*check->RecCount(), 3u);
  ASSERT_TRUE(check->GoTo(3).ok());
  EXPECT_TRUE(check->Deleted());  // the append, erased
  ASSERT_TRUE(check->SetOrder("ARTICULO").ok());
  ASSERT_TRUE(check->Seek(xb::Value::Char("HOTEL          A0")).ok());
  EXPECT_FALSE(check->Found());
  std::vector<std::string> problems;
  ASSERT_TRUE(check->Check(&problems).ok());
  EXPECT_TRUE(problems.empty());
  EXPECT_TRUE(check->LockRecord(1).ok());  // locks released

  auto log = OtherUser(inst.root, "LOG_ROLL");
  ASSERT_EQ(*log->RecCount(), 1u);
  ASSERT_TRUE(log->GoTo(1).ok());
  EXPECT_EQ(Trim(log->Get("MOTIVO")->str()), xb::FromUtf8(dialog.lines[0]));
  EXPECT_EQ(log->Get("TRANS_ID")->number(), 7);
  EXPECT_EQ(Trim(log->Get("USUARIO")->str()), "ANA");
}

TEST_F(LockingTest, ChangedRecordsStayLockedUntilTheTransactionEnds) {
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  TablePtr t = USE(nullptr, "ARTICULO");
  auto other = OtherUser(inst.root, "ARTICULO");
  START_TRANSACTION();
  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);
  t->FieldPut("PRECIO", xb::Value::Number(99));
  UNLOCK_FOR_MODIFY(*t);
  t->GoTo(2);
  LOCK_FOR_MODIFY(*t);
  UNLOCK_FOR_MODIFY(*t);  // unchanged: released at once
  EXPECT_TRUE(other->LockRecord(2).ok());
  EXPECT_TRUE(other->LockRecord(1).IsBusy());
  KILLTABLA(t);  // closed, but its changed record stays locked
  EXPECT_TRUE(other->LockRecord(1).IsBusy());
  END_TRANSACTION();
  ASSERT_TRUE(other->LockRecord(1).ok());
  EXPECT_EQ(other->Get("PRECIO")->number(), 99);
  EXPECT_FALSE(inst.Exists("BASES/JOURNAL") &&
               !std::filesystem::is_empty(inst.root + "BASES/JOURNAL"));
}

TEST_F(LockingTest, WithoutServerEngineTransactionsAreNotOpened) {
  inst.Start();
  START_TRANSACTION(2, 1);
  EXPECT_EQ(G().XADSTRANS, 0);
  TablePtr t = USE(nullptr, "ARTICULO");
  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);
  t->FieldPut("PRECIO", xb::Value::Number(5));
  UNLOCK_FOR_MODIFY(*t);
  ROLLBACK_TRANSACTION();  // nothing to roll back: the change stands
  EXPECT_EQ(OtherUser(inst.root, "ARTICULO")->Get("PRECIO")->number(), 5);
}

TEST_F(LockingTest, AnAtomicTransactionIsAllOrNothingWithoutTheServerEngine) {
  inst.Start();
  const double before = OtherUser(inst.root, "ARTICULO")->Get("PRECIO")->number();
  const uint32_t count = *OtherUser(inst.root, "ARTICULO")->RecCount();
  TablePtr t = USE(nullptr, "ARTICULO");
  START_ATOMIC_TRANSACTION();
  EXPECT_TRUE(InServerTransaction());
  START_TRANSACTION();  // a nested bracket joins the open one
  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);
  t->FieldPut("PRECIO", xb::Value::Number(before + 1));
  UNLOCK_FOR_MODIFY(*t);
  ADD_NEW_REC(*t);
  UNLOCK_FOR_MODIFY(*t);
  ROLLBACK_TRANSACTION();
  EXPECT_FALSE(InServerTransaction());
  auto other = OtherUser(inst.root, "ARTICULO");
  EXPECT_EQ(other->Get("PRECIO")->number(), before);
  // The appended record is erased: blank and deleted, so no reader sees it.
  ASSERT_TRUE(other->GoTo(count + 1).ok());
  EXPECT_TRUE(other->Deleted());

  START_ATOMIC_TRANSACTION();
  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);
  t->FieldPut("PRECIO", xb::Value::Number(before + 2));
  UNLOCK_FOR_MODIFY(*t);
  END_TRANSACTION();
  EXPECT_EQ(OtherUser(inst.root, "ARTICULO")->Get("PRECIO")->number(), before + 2);
  EXPECT_TRUE(std::filesystem::is_empty(inst.root + "BASES/JOURNAL"));
}

TEST_F(LockingTest, AJournalThatCannotBeWrittenAbortsBeforeTheDataChanges) {
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root));
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  inst.WriteFile("BASES/JOURNAL", "not a folder");  // as good as a full disk
  qztest::ScriptedErrorDialog dialog;
  TablePtr t = USE(nullptr, "ARTICULO");
  OperationResult r = RunOperation([&] {
    START_TRANSACTION();
    t->GoTo(1);
    LOCK_FOR_MODIFY(*t);
    t->FieldPut("PRECIO", xb::Value::Number(77));
    UNLOCK_FOR_MODIFY(*t);
  });
  EXPECT_EQ(r, OperationResult::kIgnored);
  EXPECT_EQ(dialog.lines.size(), 1u);
  EXPECT_EQ(OtherUser(inst.root, "ARTICULO")->Get("PRECIO")->number(), 10);
}

}  // namespace
}  // namespace qz
