// A change of a record leaves alone the tags whose keys read none of the
// changed fields; a key that reads different fields depending on the record
// (IIF) must still follow every change that matters to it.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "xbase/table.h"

namespace xb {
namespace {

TEST(IndexUpdate, KeysFollowExactlyTheFieldsTheyRead) {
  qztest::TempDir dir;
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(dir.file("U"), {{"KIND", 'C', 1, 0, 0, 0}, {"A", 'C', 4, 0, 0, 0},
                                         {"B", 'C', 4, 0, 0, 0}, {"N", 'N', 5, 0, 0, 0}},
                         co);
  ASSERT_TRUE(t.ok());
  Table* u = t->get();
  ASSERT_TRUE(u->CreateTag("PICK", "IIF(KIND = 'A', A, B)").ok());
  ASSERT_TRUE(u->CreateTag("LIVE", "A", "N > 0 .AND. .NOT. DELETED()").ok());
  auto add = [&](const char* kind, const char* a, const char* b, int n) {
    ASSERT_TRUE(u->Append().ok());
    u->Put("KIND", Value::Char(kind));
    u->Put("A", Value::Char(a));
    u->Put("B", Value::Char(b));
    u->Put("N", Value::Number(n));
    ASSERT_TRUE(u->WriteBack().ok());
  };
  add("A", "a1", "zz", 1);  // 1
  add("B", "a2", "b2", 0);  // 2
  auto order = [&](const char* tag) {
    std::vector<uint32_t> out;
    EXPECT_TRUE(u->SetOrder(tag).ok());
    for (Status s = u->GoTop(); s.ok() && !u->Eof(); s = u->Skip(1)) out.push_back(u->RecNo());
    EXPECT_TRUE(u->SetOrder(0).ok());
    return out;
  };
  auto set = [&](uint32_t rec, const char* field, const Value& v) {
    ASSERT_TRUE(u->GoTo(rec).ok());
    ASSERT_TRUE(u->Put(field, v).ok());
    ASSERT_TRUE(u->WriteBack().ok());
  };
  auto seek = [&](const char* tag, const char* key) {
    EXPECT_TRUE(u->SetOrder(tag).ok());
    EXPECT_TRUE(u->Seek(Value::Char(key)).ok());
    uint32_t r = u->Found() ? u->RecNo() : 0;
    EXPECT_TRUE(u->SetOrder(0).ok());
    return r;
  };

  // Record 1 reads A: changing B leaves its key; then switching KIND makes B count.
  set(1, "B", Value::Char("b0"));
  EXPECT_EQ(seek("PICK", "a1"), 1u);
  set(1, "KIND", Value::Char("B"));
  EXPECT_EQ(seek("PICK", "b0"), 1u);
  EXPECT_EQ(seek("PICK", "a1"), 0u);
  EXPECT_EQ(order("PICK"), (std::vector<uint32_t>{1, 2}));
  // Now A is the unread one for the key, but the FOR tag still follows it.
  set(1, "A", Value::Char("a9"));
  EXPECT_EQ(seek("PICK", "b0"), 1u);
  EXPECT_EQ(seek("LIVE", "a9"), 1u);
  // The FOR condition's fields: N brings record 2 in, deleting takes it out.
  set(2, "N", Value::Number(3));
  EXPECT_EQ(order("LIVE"), (std::vector<uint32_t>{2, 1}));
  SetDeletedHidden(false);
  ASSERT_TRUE(u->GoTo(2).ok());
  ASSERT_TRUE(u->Delete().ok());
  ASSERT_TRUE(u->WriteBack().ok());
  EXPECT_EQ(order("LIVE"), (std::vector<uint32_t>{1}));
  SetDeletedHidden(true);
  std::vector<std::string> problems;
  ASSERT_TRUE(u->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
}

// Keys that only join character fields are copied out of the record; they
// must be the keys the expression gives, however it is written, and a tag
// whose key expression is anything more is evaluated as before.
TEST(IndexUpdate, JoinedFieldKeysEqualTheEvaluatedKeys) {
  qztest::TempDir dir;
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(dir.file("J"), {{"NEG", 'C', 3, 0, 0, 0}, {"COD", 'C', 4, 0, 0, 0},
                                         {"N", 'N', 4, 0, 0, 0}},
                         co);
  ASSERT_TRUE(t.ok());
  Table* j = t->get();
  ASSERT_TRUE(j->CreateTag("PLAIN", "NEG+COD").ok());
  ASSERT_TRUE(j->CreateTag("SPACED", " neg +  cod ").ok());
  ASSERT_TRUE(j->CreateTag("MIXED", "NEG+STR(N,4)+COD").ok());
  ASSERT_TRUE(j->CreateTag("UPPER", "NEG+UPPER(COD)").ok());
  const char* rows[][2] = {{"B", "x2"}, {"A", "Y1"}, {"B", "X1"}, {"A", ""}, {"AB", "z"}};
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(j->Append().ok());
    j->Put("NEG", Value::Char(rows[i][0]));
    j->Put("COD", Value::Char(rows[i][1]));
    j->Put("N", Value::Number(9 - i));
    ASSERT_TRUE(j->WriteBack().ok());
  }
  auto order = [&](const char* tag) {
    std::vector<uint32_t> out;
    EXPECT_TRUE(j->SetOrder(tag).ok());
    for (Status s = j->GoTop(); s.ok() && !j->Eof(); s = j->Skip(1)) out.push_back(j->RecNo());
    return out;
  };
  // Blank padded fields side by side: "A  " sorts before "AB ", "B  X1" before "B  x2".
  EXPECT_EQ(order("PLAIN"), (std::vector<uint32_t>{4, 2, 5, 3, 1}));
  EXPECT_EQ(order("SPACED"), order("PLAIN"));
  EXPECT_EQ(order("UPPER"), (std::vector<uint32_t>{4, 2, 5, 3, 1}));
  EXPECT_EQ(order("MIXED"), (std::vector<uint32_t>{4, 2, 5, 3, 1}));
  ASSERT_TRUE(j->SetOrder("PLAIN").ok());
  ASSERT_TRUE(j->Seek(Value::Char("B  X1  ")).ok());
  EXPECT_TRUE(j->Found());
  EXPECT_EQ(j->RecNo(), 3u);
  EXPECT_EQ(*j->CurrentKey(), std::string("B  X1  "));
  // A key change moves the entry, and the whole index checks clean.
  ASSERT_TRUE(j->GoTo(1).ok());
  ASSERT_TRUE(j->Put("NEG", Value::Char("0")).ok());
  ASSERT_TRUE(j->WriteBack().ok());
  EXPECT_EQ(order("SPACED"), (std::vector<uint32_t>{1, 4, 2, 5, 3}));
  std::vector<std::string> problems;
  ASSERT_TRUE(j->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
}

}  // namespace
}  // namespace xb
