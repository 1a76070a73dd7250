// Rows appended whole (ADD_NEW_REC_WITH) inside an atomic transaction: what a
// second workstation sees after the commit and after a rollback.
#include "lib/data/new_rows.h"

#include <gtest/gtest.h>

#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "support/fake_clock.h"
#include "support/installation.h"
#include "support/scripted_boxes.h"

namespace qz {
namespace {

class NewRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qztest::AddArticulo(inst.root, "HOTEL", "A1", "MESA", 10);
    inst.Start();
    auto t = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF");
    ASSERT_TRUE(t.ok());
    other = std::move(*t);  // open before the rows are added, as a workstation would be
  }

  xb::NewRecord Row(WDBTable& t, const char* codigo, const char* descrip, double precio) {
    xb::NewRecord r(t.table());
    EXPECT_TRUE(r.Put("NEGOCIO", xb::Value::Char("HOTEL")).ok());
    EXPECT_TRUE(r.Put("CODIGO", xb::Value::Char(codigo)).ok());
    EXPECT_TRUE(r.Put("DESCRIP", xb::Value::Char(descrip)).ok());
    EXPECT_TRUE(r.Put("PRECIO", xb::Value::Number(precio)).ok());
    return r;
  }

  // Whether the other workstation finds `codigo` on both tags.
  bool OtherFinds(const char* codigo, const char* descrip) {
    EXPECT_TRUE(other->SetOrder("ARTICULO").ok());
    std::string padded_code = codigo;
    padded_code.resize(other->fields()[other->FieldIndex("CODIGO")].len, ' ');
    std::string negocio = "HOTEL";
    negocio.resize(other->fields()[other->FieldIndex("NEGOCIO")].len, ' ');
    EXPECT_TRUE(other->Seek(xb::Value::Char(negocio + padded_code)).ok());
    const bool by_code = other->Found();
    EXPECT_TRUE(other->SetOrder("ARTICUL2").ok());
    EXPECT_TRUE(other->Seek(xb::Value::Char(descrip)).ok());
    const bool by_name = other->Found();
    EXPECT_EQ(by_code, by_name) << codigo;
    return by_code && by_name;
  }

  void ExpectIndexClean() {
    std::vector<std::string> problems;
    ASSERT_TRUE(other->Check(&problems).ok());
    EXPECT_TRUE(problems.empty()) << problems.front();
  }

  qztest::FakeClock clock;
  qztest::ScriptedBoxes boxes;
  qztest::Installation inst;
  std::unique_ptr<xb::Table> other;
};

TEST_F(NewRowsTest, CommittedRowsAreSeenWithTheirKeysByAnotherWorkstation) {
  TablePtr t = USE(nullptr, "ARTICULO");
  const uint32_t count = *other->RecCount();
  START_ATOMIC_TRANSACTION();
  ADD_NEW_REC_WITH(*t, Row(*t, "A2", "SILLA", 20));
  ADD_NEW_REC_WITH(*t, Row(*t, "A3", "LAMPARA", 30.5));
  EXPECT_EQ(t->RecNo(), count + 2);  // the last row stays current
  EXPECT_EQ(t->FieldGet("CODIGO").str().substr(0, 2), "A3");
  END_TRANSACTION();

  EXPECT_EQ(*other->RecCount(), count + 2);
  ASSERT_TRUE(OtherFinds("A2", "SILLA"));
  EXPECT_EQ(other->RecNo(), count + 1);
  EXPECT_EQ(other->Get("PRECIO")->number(), 20);
  ASSERT_TRUE(OtherFinds("A3", "LAMPARA"));
  EXPECT_EQ(other->Get("PRECIO")->number(), 30.5);
  EXPECT_TRUE(OtherFinds("A1", "MESA"));
  // Released at the end: the other workstation can edit the new rows.
  EXPECT_TRUE(other->LockRecord(count + 1).ok());
  EXPECT_TRUE(other->LockRecord(count + 2).ok());
  ExpectIndexClean();
}

TEST_F(NewRowsTest, ARolledBackRowLeavesNoRowAndNoKey) {
  TablePtr t = USE(nullptr, "ARTICULO");
  const uint32_t count = *other->RecCount();
  START_ATOMIC_TRANSACTION();
  ADD_NEW_REC_WITH(*t, Row(*t, "A2", "SILLA", 20));
  t->GoTo(1);
  LOCK_FOR_MODIFY(*t);
  t->FieldPut("DESCRIP", xb::Value::Char("MESA GRANDE"));
  UNLOCK_FOR_MODIFY(*t);
  ADD_NEW_REC_WITH(*t, Row(*t, "A3", "LAMPARA", 30));
  ROLLBACK_TRANSACTION();

  EXPECT_FALSE(OtherFinds("A2", "SILLA"));
  EXPECT_FALSE(OtherFinds("A3", "LAMPARA"));
  EXPECT_TRUE(OtherFinds("A1", "MESA"));
  // What is left past the old count is blank and deleted: no reader sees it.
  const uint32_t now = *other->RecCount();
  for (uint32_t r = count + 1; r <= now; ++r) {
    ASSERT_TRUE(other->GoTo(r).ok());
    EXPECT_TRUE(other->Deleted()) << r;
  }
  ExpectIndexClean();
  EXPECT_TRUE(std::filesystem::is_empty(inst.root + "BASES/JOURNAL"));

  // The table takes rows again after the rollback.
  START_ATOMIC_TRANSACTION();
  ADD_NEW_REC_WITH(*t, Row(*t, "A4", "SOFA", 40));
  END_TRANSACTION();
  EXPECT_TRUE(OtherFinds("A4", "SOFA"));
  ExpectIndexClean();
}

TEST_F(NewRowsTest, AValueThatDoesNotFitIsRefusedBeforeAnythingIsWritten) {
  TablePtr t = USE(nullptr, "ARTICULO");
  xb::NewRecord r(t->table());
  EXPECT_FALSE(r.Put("PRECIO", xb::Value::Number(1e30)).ok());
  EXPECT_FALSE(r.Put("PRECIO", xb::Value::Char("DIEZ")).ok());
  EXPECT_TRUE(r.Put("NO_SUCH_FIELD", xb::Value::Char("X")).IsNotFound());
  // A record built for another table is refused by the engine.
  auto copy = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF");
  ASSERT_TRUE(copy.ok());
  const uint32_t count = *other->RecCount();
  EXPECT_FALSE(xb::AppendRecord(**copy, r).ok());
  EXPECT_EQ(*other->RecCount(), count);
}

}  // namespace
}  // namespace qz
