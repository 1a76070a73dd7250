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

}  // namespace
}  // namespace xb
