// A limit on the mapped pages a process keeps resident: tables and indexes
// larger than the limit read and write the rest with plain system calls, and
// a second user of the same files sees every change at once either way.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"
#include "xbase/env.h"
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

// The same bytes at an offset, whichever handle or thread wrote them.
std::string Block(uint64_t at, char tag) {
  std::string s(512, '\0');
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>(tag + (at / 512 + i) % 61);
  return s;
}

// Writes from two handles of one file (each its own mapping, each under the
// limit) over many more windows than the limit holds, read back from both
// after the walk has gone round the whole file twice: a window the process
// stopped keeping must show what either handle wrote into it, the writes that
// went through the mapping included.
TEST_F(LimitedResidency, BytesWrittenByEitherHandleReadBackAfterTheWalkMovedOn) {
  constexpr uint64_t kSize = 4 << 20;  // 64 windows, the limit two
  auto a = Env::Default()->Create(dir_.file("big.bin"), true);
  ASSERT_TRUE(a.ok());
  const std::string zero(1 << 20, '\0');
  for (uint64_t at = 0; at < kSize; at += zero.size())
    ASSERT_TRUE((*a)->WriteAt(at, zero.data(), zero.size()).ok());
  auto b = Env::Default()->Open(dir_.file("big.bin"), OpenMode::kReadWrite);
  ASSERT_TRUE(b.ok());
  for (int round = 0; round < 2; ++round) {
    // Odd blocks through one handle, even ones through the other, with a
    // stride that visits every window before coming back to one.
    for (uint64_t i = 0; i < kSize / 512; ++i) {
      uint64_t at = (i * 4099 % (kSize / 512)) * 512;
      File& f = (at / 512) % 2 ? **a : **b;
      std::string data = Block(at, static_cast<char>('A' + round));
      ASSERT_TRUE(f.WriteAt(at, data.data(), data.size()).ok());
    }
    for (File* f : {a->get(), b->get()}) {
      std::string got(512, '\0');
      for (uint64_t at = 0; at < kSize; at += 512) {
        size_t n = 0;
        ASSERT_TRUE(f->ReadAt(at, got.data(), got.size(), &n).ok());
        ASSERT_EQ(got, Block(at, static_cast<char>('A' + round))) << "offset " << at;
      }
    }
    EXPECT_LE(MappedResidentBytes() - before_, kAtMost);
  }
}

// Readers in several threads all over a file larger than the limit while a
// writer rewrites it (same bytes) and grows and cuts its tail: no read sees
// anything but the file's bytes, and no copy crashes on a window or a
// mapping going away under it.
TEST_F(LimitedResidency, ConcurrentReadersSeeTheFileWhileWindowsComeAndGo) {
  constexpr uint64_t kSize = 2 << 20;
  auto f = Env::Default()->Create(dir_.file("shared.bin"), true);
  ASSERT_TRUE(f.ok());
  File& file = **f;
  for (uint64_t at = 0; at < kSize; at += 512) {
    std::string data = Block(at, 'r');
    ASSERT_TRUE(file.WriteAt(at, data.data(), data.size()).ok());
  }
  std::atomic<bool> stop{false};
  std::atomic<long> reads{0}, wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 3; ++t) {
    readers.emplace_back([&, t] {
      std::string got(512, '\0');
      uint64_t i = static_cast<uint64_t>(t) * 1013;
      while (!stop) {
        uint64_t at = (i++ * 2053 % (kSize / 512)) * 512;
        size_t n = 0;
        if (!file.ReadAt(at, got.data(), got.size(), &n).ok() || n != got.size() ||
            got != Block(at, 'r'))
          ++wrong;
        ++reads;
      }
    });
  }
  // Failures end the loop rather than the test, so the readers are joined.
  const std::string tail(256 << 10, 't');
  bool ok = true;
  for (int i = 0; i < 40 && ok; ++i) {
    for (uint64_t at = (i % 7) * 512; at < kSize && ok; at += 7 * 4096) {
      std::string data = Block(at, 'r');
      ok = file.WriteAt(at, data.data(), data.size()).ok();
    }
    const uint64_t end = kSize + (i % 5) * tail.size();
    ok = ok && file.WriteAt(end, tail.data(), tail.size()).ok();
    std::string back(tail.size(), '\0');
    size_t n = 0;
    ok = ok && file.ReadAt(end, back.data(), back.size(), &n).ok() && back == tail;
    if (i % 10 == 9) ok = ok && file.Truncate(kSize).ok();
    EXPECT_TRUE(ok) << "round " << i;
  }
  while (ok && reads < 20000) std::this_thread::yield();
  stop = true;
  for (auto& r : readers) r.join();
  EXPECT_EQ(wrong, 0) << "of " << reads << " reads";
  f->reset();
  EXPECT_EQ(MappedResidentBytes(), before_);
}

}  // namespace
}  // namespace xb
