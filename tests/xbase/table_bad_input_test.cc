// Corrupt and truncated files, and an operating system that refuses writes,
// syncs or locks: every case is a clear error, never a crash or a silently
// damaged table.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>

#include "support/fault_env.h"
#include "support/temp_dir.h"
#include "xbase/table.h"

namespace xb {
namespace {

std::string Slurp(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
void Spit(const std::string& p, const std::string& s) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << s;
}

class Corrupted : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.CopyFixture("PUESTOS");
    dir_.CopyFixture("EMPLE");
    dbf_ = Slurp(dir_.file("PUESTOS.dbf"));
  }
  Status OpenWith(const std::string& bytes) {
    Spit(dir_.file("PUESTOS.dbf"), bytes);
    OpenOptions o;
    o.open_index = false;
    return Table::Open(dir_.file("PUESTOS.dbf"), o).status();
  }
  qztest::TempDir dir_;
  std::string dbf_;
};

TEST_F(Corrupted, HeadersThatLieAboutTheFileAreRefusedWithTheFileNamed) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    const char* says;
  } cases[] = {
      {"record count beyond the file", [](std::string& b) { b[4] = 100; }, "records"},
      {"header length past end", [](std::string& b) { b[8] = '\xFF'; b[9] = '\x7F'; }, "header length"},
      {"header length too small", [](std::string& b) { b[8] = 10; b[9] = 0; }, "too small"},
      {"record length disagrees", [](std::string& b) { b[10] = 50; }, "fields add up"},
      {"unknown version byte", [](std::string& b) { b[0] = 0x7A; }, "version byte 0x7A"},
      {"unknown field type", [](std::string& b) { b[32 + 11] = 'Z'; }, "unknown type"},
      {"field of width zero", [](std::string& b) { b[32 + 16] = 0; }, "width 0"},
      {"no terminator", [](std::string& b) { b[160] = 'X'; }, "terminator"},
      {"truncated to 20 bytes", [](std::string& b) { b.resize(20); }, "too short"},
      {"empty file", [](std::string& b) { b.clear(); }, "too short"},
  };
  for (const auto& c : cases) {
    std::string b = dbf_;
    c.damage(b);
    Status s = OpenWith(b);
    EXPECT_FALSE(s.ok()) << c.what;
    EXPECT_NE(s.message().find("PUESTOS"), std::string::npos) << c.what << ": " << s.message();
    EXPECT_NE(s.message().find(c.says), std::string::npos) << c.what << ": " << s.message();
  }
}

TEST_F(Corrupted, MemoPointersOutsideTheMemoFileGiveAnErrorForThatField) {
  std::string dbf = Slurp(dir_.file("EMPLE.dbf"));
  // Record 1's memo field (last 10 bytes) points far beyond the end of the FPT.
  const size_t hl = 354, rl = 133;
  std::memcpy(dbf.data() + hl + rl - 10, "  99999999", 10);
  Spit(dir_.file("EMPLE.dbf"), dbf);
  OpenOptions o;
  o.open_index = false;
  auto t = Table::Open(dir_.file("EMPLE.dbf"), o);
  ASSERT_TRUE(t.ok());
  ASSERT_TRUE((*t)->GoTo(1).ok());
  auto v = (*t)->Get("COMENTA");
  EXPECT_EQ(v.status().code(), Code::kCorrupt);
  EXPECT_NE(v.status().message().find("EMPLE"), std::string::npos);
  EXPECT_TRUE((*t)->Get("CODIGO").ok());  // the rest of the record still reads

  // A memo whose length runs past the end of the file.
  std::string fpt = Slurp(dir_.file("EMPLE.fpt"));
  fpt.resize(fpt.size() / 2);
  Spit(dir_.file("EMPLE.fpt"), fpt);
  auto t2 = Table::Open(dir_.file("EMPLE.dbf"), o);
  ASSERT_TRUE(t2.ok());
  bool saw_error = false;
  for (Status s = (*t2)->GoTop(); s.ok() && !(*t2)->Eof(); s = (*t2)->Skip(1)) {
    auto m = (*t2)->Get("COMENTA");
    saw_error |= m.status().code() == Code::kCorrupt;
  }
  EXPECT_TRUE(saw_error);
}

TEST_F(Corrupted, AMissingOrShortMemoFileIsReported) {
  OpenOptions o;
  o.open_index = false;
  Spit(dir_.file("EMPLE.fpt"), std::string(100, '\0'));
  EXPECT_EQ(Table::Open(dir_.file("EMPLE.dbf"), o).status().code(), Code::kCorrupt);
  std::filesystem::remove(dir_.file("EMPLE.fpt"));
  EXPECT_EQ(Table::Open(dir_.file("EMPLE.dbf"), o).status().code(), Code::kNotFound);
}

TEST(FaultInjection, FailedWritesAreReportedAndTheTableStaysReadable) {
  qztest::TempDir dir;
  qztest::FaultEnv env;
  CreateOptions co;
  co.env = &env;
  auto t = Table::Create(dir.file("T"), {{"CODIGO", 'C', 10, 0, 0, 0}}, co);
  ASSERT_TRUE(t.ok());
  ASSERT_TRUE((*t)->Append().ok());
  ASSERT_TRUE((*t)->Put("CODIGO", Value::Char("bueno")).ok());
  ASSERT_TRUE((*t)->UnlockAll().ok());

  env.faults.fail_writes_after = 0;
  env.faults.short_writes = true;
  Status s = (*t)->Append();
  EXPECT_EQ(s.code(), Code::kIOError);
  EXPECT_FALSE((*t)->IsRecordLocked(2));  // the record that was not added is not held
  env.faults.fail_writes_after = -1;
  // The failed append did not count: the header still says one record.
  auto r = Table::Open(dir.file("T.DBF"));
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  EXPECT_EQ(*(*r)->RecCount(), 1u);
  EXPECT_EQ((*r)->Get("CODIGO")->str(), "bueno     ");

  env.faults.fail_sync = true;
  EXPECT_EQ((*t)->Flush().code(), Code::kIOError);
}

TEST(FaultInjection, RefusedLocksAreBusyAndNothingIsWritten) {
  qztest::TempDir dir;
  qztest::FaultEnv env;
  CreateOptions co;
  co.env = &env;
  auto t = Table::Create(dir.file("T"), {{"CODIGO", 'C', 10, 0, 0, 0}}, co);
  ASSERT_TRUE(t.ok());
  ASSERT_TRUE((*t)->Append().ok());
  ASSERT_TRUE((*t)->UnlockAll().ok());
  env.faults.refuse_locks = true;
  EXPECT_EQ((*t)->LockRecord(1).code(), Code::kBusy);
  EXPECT_EQ((*t)->LockFile().code(), Code::kBusy);
  EXPECT_EQ((*t)->Append().code(), Code::kBusy);
  EXPECT_FALSE((*t)->Put("CODIGO", Value::Char("x")).ok());
  EXPECT_EQ(*(*t)->RecCount(), 1u);
}

}  // namespace
}  // namespace xb

namespace xb {
namespace {

// Another program overwrites an open table with a shorter file: reads of the
// vanished part are errors, not a crash.
TEST(FaultInjection, AFileCutShortWhileOpenGivesAnErrorNotACrash) {
  qztest::TempDir dir;
  auto t = Table::Create(dir.file("T"), {{"CODIGO", 'C', 200, 0, 0, 0}});
  ASSERT_TRUE(t.ok());
  for (int i = 0; i < 200; ++i) ASSERT_TRUE((*t)->Append().ok());
  ASSERT_TRUE((*t)->UnlockAll().ok());
  ASSERT_TRUE((*t)->GoTo(150).ok());  // the whole file is mapped now
  std::filesystem::resize_file(dir.file("T.DBF"), 4096);
  Status s = (*t)->GoTo(190);
  EXPECT_FALSE(s.ok() && !(*t)->Eof() && (*t)->Get("CODIGO")->str() == std::string(200, ' '))
      << "read a record that no longer exists";
  auto n = (*t)->RecCount();
  EXPECT_FALSE(n.ok());  // the header still says 200 records
}

}  // namespace
}  // namespace xb
