// Records appended with their values: one change that another handle sees
// whole, with every tag (FOR conditions included) in step.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "xbase/new_record.h"
#include "xbase/table.h"

namespace xb {
namespace {

TEST(NewRecord, AppendedValuesReachEveryTagAndTheCursorFollowsTheRecord) {
  qztest::TempDir dir;
  {
    CreateOptions co;
    co.exclusive = true;
    auto t = Table::Create(dir.file("R"), {{"NEG", 'C', 3, 0, 0, 0}, {"COD", 'C', 4, 0, 0, 0},
                                           {"N", 'N', 6, 2, 0, 0}},
                           co);
    ASSERT_TRUE(t.ok());
    ASSERT_TRUE((*t)->CreateTag("K", "NEG+COD").ok());
    ASSERT_TRUE((*t)->CreateTag("AMOUNT", "STR(N,6,2)").ok());
    ASSERT_TRUE((*t)->CreateTag("LIVE", "COD", "N > 0").ok());
    ASSERT_TRUE((*t)->Close().ok());
  }
  auto a = Table::Open(dir.file("R"));
  auto b = Table::Open(dir.file("R"));
  ASSERT_TRUE(a.ok() && b.ok());
  Table& writer = **a;
  Table& reader = **b;
  ASSERT_TRUE(writer.SetOrder("K").ok());
  auto add = [&](const char* neg, const char* cod, double n) {
    NewRecord r(writer);
    ASSERT_TRUE(r.Put("NEG", Value::Char(neg)).ok());
    ASSERT_TRUE(r.Put("COD", Value::Char(cod)).ok());
    ASSERT_TRUE(r.Put(2, Value::Number(n)).ok());
    ASSERT_TRUE(AppendRecord(writer, r).ok());
    // Nothing is pending and the new record is locked, as after Append.
    EXPECT_TRUE(writer.IsRecordLocked(writer.RecNo()));
    EXPECT_EQ(writer.Get("COD")->str(), cod);
  };
  add("B", "0002", 2);
  add("A", "0009", 0);  // outside LIVE
  add("B", "0001", 1.5);
  // The controlling tag's cursor is on the new record: its neighbours in key order.
  ASSERT_TRUE(writer.Skip(1).ok());
  EXPECT_EQ(writer.RecNo(), 1u);
  ASSERT_TRUE(writer.Skip(-2).ok());
  EXPECT_EQ(writer.RecNo(), 2u);
  ASSERT_TRUE(writer.UnlockAll().ok());

  EXPECT_EQ(*reader.RecCount(), 3u);
  auto order = [&](const char* tag) {
    std::vector<uint32_t> out;
    EXPECT_TRUE(reader.SetOrder(tag).ok());
    for (Status s = reader.GoTop(); s.ok() && !reader.Eof(); s = reader.Skip(1))
      out.push_back(reader.RecNo());
    return out;
  };
  EXPECT_EQ(order("K"), (std::vector<uint32_t>{2, 3, 1}));
  EXPECT_EQ(order("AMOUNT"), (std::vector<uint32_t>{2, 3, 1}));
  EXPECT_EQ(order("LIVE"), (std::vector<uint32_t>{3, 1}));
  std::vector<std::string> problems;
  ASSERT_TRUE(reader.Check(&problems).ok());
  EXPECT_TRUE(problems.empty());
  // A record still being built is not a change of the table.
  NewRecord pending(writer);
  ASSERT_TRUE(pending.Put("COD", Value::Char("0003")).ok());
  EXPECT_EQ(*reader.RecCount(), 3u);
}

TEST(NewRecord, MemoFieldsAreLeftToTheTable) {
  qztest::TempDir dir;
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(dir.file("M"), {{"COD", 'C', 4, 0, 0, 0}, {"NOTE", 'M', 10, 0, 0, 0}},
                         co);
  ASSERT_TRUE(t.ok());
  EXPECT_FALSE(NewRecord::Fits(**t));
  NewRecord r(**t);
  EXPECT_FALSE(r.Put("NOTE", Value::Char("text")).ok());
  ASSERT_TRUE(r.Put("COD", Value::Char("X1")).ok());
  ASSERT_TRUE(AppendRecord(**t, r).ok());  // a blank memo is fine
  EXPECT_EQ(*(*t)->RecCount(), 1u);
  EXPECT_EQ((*t)->Get("NOTE")->str(), "");
}

}  // namespace
}  // namespace xb
