// A limit on the mapped pages a process keeps resident: tables and indexes
// larger than the limit read and write the rest with plain system calls, and
// a second user of the same files sees every change at once either way.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "xbase/env_residency.h"
#include "xbase/table.h"

namespace xb {
namespace {

// Sets the limit for one test and puts the previous one (none) back.
class LimitedResidency : public ::testing::Test {
 protected:
  static constexpr uint64_t kLimit = 128 << 10;  // two 64 KB windows
  // Every mapped file keeps its first window (its header) whatever the
  // limit: two users of a table, its index and the index's journal.
  static constexpr uint64_t kAtMost = kLimit + 6 * (64 << 10);
  void SetUp() override {
    before_ = MappedResidentBytes();
    SetMappedResidency(kLimit);
  }
  void TearDown() override { SetMappedResidency(0); }

  std::unique_ptr<Table> CreateFilled(int records) {
    CreateOptions co;
    co.exclusive = true;
    auto t = Table::Create(dir_.file("T"),
                           {{"CODIGO", 'C', 20, 0, 0, 0},
                            {"NOMBRE", 'C', 200, 0, 0, 0},
                            {"IMPORTE", 'N', 10, 0, 0, 0}},
                           co);
    EXPECT_TRUE(t.ok());
    if (!t.ok()) return nullptr;
    EXPECT_TRUE((*t)->CreateTag("T", "CODIGO").ok());
    for (int i = 0; i < records; ++i) {
      EXPECT_TRUE((*t)->Append().ok());
      // Codes in an order unlike the records', so a walk in key order jumps.
      (*t)->Put(0, Value::Char(Code((i * 7919) % records)));
      (*t)->Put(1, Value::Char("nombre " + std::to_string(i)));
      (*t)->Put(2, Value::Number(i));
    }
    EXPECT_TRUE((*t)->UnlockAll().ok());
    EXPECT_TRUE((*t)->Close().ok());
    auto s = Table::Open(dir_.file("T.DBF"));
    EXPECT_TRUE(s.ok());
    return s.ok() ? std::move(*s) : nullptr;
  }
  static std::string Code(int i) { return "C" + std::to_string(100000 + i); }

  qztest::TempDir dir_;
  uint64_t before_ = 0;
};

TEST_F(LimitedResidency, ATableLargerThanTheLimitReadsWritesAndWalksAsWithoutIt) {
  constexpr int kRecords = 3000;  // a table of about 700 KB, an index of about 100 KB
  auto t = CreateFilled(kRecords);
  ASSERT_TRUE(t);
  EXPECT_LE(MappedResidentBytes() - before_, kAtMost);

  // A walk in key order reads records all over the table.
  ASSERT_TRUE(t->SetOrder(1).ok());
  int n = 0;
  std::string prev;
  for (Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) {
    std::string code = t->Get(0)->str();
    EXPECT_LT(prev, code);
    int rec = static_cast<int>(t->Get(2)->number());
    std::string want = Code((rec * 7919) % kRecords);
    want.resize(20, ' ');
    EXPECT_EQ(code, want);
    prev = code;
    ++n;
  }
  EXPECT_EQ(n, kRecords);

  // A second user (its own mapping, its own windows) and changes from both.
  auto other = Table::Open(dir_.file("T.DBF"));
  ASSERT_TRUE(other.ok());
  for (uint32_t r = 1; r <= kRecords; r += 97) {
    ASSERT_TRUE(t->GoTo(r).ok());
    ASSERT_TRUE(t->LockRecord().ok());
    ASSERT_TRUE(t->Put(2, Value::Number(-static_cast<double>(r))).ok());
    ASSERT_TRUE(t->Put(0, Value::Char("Z" + std::to_string(r))).ok());
    ASSERT_TRUE(t->UnlockRecord(r).ok());
    ASSERT_TRUE((*other)->GoTo(r).ok());
    EXPECT_EQ((*other)->Get(2)->number(), -static_cast<double>(r)) << "record " << r;
  }
  ASSERT_TRUE((*other)->SetOrder(1).ok());
  ASSERT_TRUE((*other)->Seek(Value::Char("Z2038")).ok());
  EXPECT_TRUE((*other)->Found());
  EXPECT_EQ((*other)->RecNo(), 2038u);
  std::vector<std::string> problems;
  ASSERT_TRUE((*other)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_LE(MappedResidentBytes() - before_, kAtMost);

  // Closing gives the windows back.
  t.reset();
  other->reset();
  EXPECT_EQ(MappedResidentBytes(), before_);
}

// Another program cuts the table short: reads of the vanished part fail
// whether they went through the mapping or around it, and nothing crashes.
TEST_F(LimitedResidency, AFileCutShortGivesAnErrorInsideAndOutsideTheAdmittedPart) {
  auto t = CreateFilled(2000);  // about 460 KB
  ASSERT_TRUE(t);
  ASSERT_TRUE(t->GoTo(1).ok());     // in an admitted window
  ASSERT_TRUE(t->GoTo(1900).ok());  // read around the mapping
  std::filesystem::resize_file(dir_.file("T.DBF"), 4096);
  for (uint32_t r : {100u, 1900u}) {
    Status s = t->GoTo(r);
    EXPECT_FALSE(s.ok() && !t->Eof()) << "read record " << r << ", which no longer exists";
  }
}

}  // namespace
}  // namespace xb
