// Readers beside writers of other engines, which wait for the index lock with
// blocking requests and commit between any two page reads of ours: every
// seek and walk must still succeed and see the whole tag. And a page cache
// far smaller than the index still answers everything right.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "support/blocking_index_writer.h"
#include "support/temp_dir.h"
#include "xbase/cdx_cache.h"
#include "xbase/table.h"

namespace xb {
namespace {

std::string Code(int i) { return "C" + std::to_string(100000 + i * 7); }

// A table of `n` records with a tag on CODE and one on NAME+CODE.
void MakeTable(const std::string& path, int n) {
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(path, {{"CODE", 'C', 10, 0, 0, 0}, {"NAME", 'C', 30, 0, 0, 0},
                                {"AMOUNT", 'N', 10, 2, 0, 0}},
                         co);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  std::mt19937 rng(5);
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE((*t)->Append().ok());
    (*t)->Put(0, Value::Char(Code(i)));
    (*t)->Put(1, Value::Char("name " + std::to_string(rng() % 5000)));
    (*t)->Put(2, Value::Number(i));
  }
  ASSERT_TRUE((*t)->CreateTag("BYCODE", "CODE").ok());
  ASSERT_TRUE((*t)->CreateTag("BYNAME", "NAME+CODE").ok());
}

TEST(IndexReaders, SeeksAndWalksNeverFailBesideABlockingWriter) {
  qztest::TempDir dir;
  const int kRecords = 3000, kSeeks = 4000;
  const uint32_t kCommits = 300;
  MakeTable(dir.file("R"), kRecords);
  auto t = Table::Open(dir.file("R.DBF"));
  ASSERT_TRUE(t.ok());
  Table* r = t->get();
  const std::string cdx = dir.file("R.CDX");
  uint32_t counter_before = qztest::BlockingIndexWriter::Counter(cdx);

  qztest::BlockingIndexWriter writer(cdx);
  ASSERT_TRUE(writer.WaitUntilWriting(cdx));
  ASSERT_TRUE(r->SetOrder("BYCODE").ok());
  std::mt19937 rng(9);
  int errors = 0, missed = 0, wrong = 0;
  // Go on until the writer has committed often enough in between (on a busy
  // machine it may get little time), within reason.
  auto start = std::chrono::steady_clock::now();
  auto commits = [&] { return qztest::BlockingIndexWriter::Counter(cdx) - counter_before; };
  for (int i = 0; i < kSeeks || (commits() < kCommits &&
                                 std::chrono::steady_clock::now() - start < std::chrono::seconds(30));
       ++i) {
    int k = static_cast<int>(rng() % kRecords);
    Status s = r->Seek(Value::Char(Code(k)));
    if (!s.ok()) {
      ++errors;
      ADD_FAILURE() << s.ToString();
      continue;
    }
    if (!r->Found()) ++missed;
    else if (r->Get(2)->number() != k) ++wrong;
  }
  // A walk on the other tag: every record once, in key order.
  ASSERT_TRUE(r->SetOrder("BYNAME").ok());
  int walked = 0;
  std::string prev;
  Status s;
  for (s = r->GoTop(); s.ok() && !r->Eof(); s = r->Skip(1)) {
    std::string key = *r->CurrentKey();
    if (key < prev) ++wrong;
    prev = key;
    ++walked;
  }
  writer.Stop();
  EXPECT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(errors, 0);
  EXPECT_EQ(missed, 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(walked, kRecords);
  // The writer really was committing all along.
  EXPECT_GE(commits(), kCommits);
}

TEST(IndexReaders, ASmallPageCacheStillAnswersEverythingAndStaysInItsBudget) {
  qztest::TempDir dir;
  const int kRecords = 20000;
  MakeTable(dir.file("S"), kRecords);
  size_t saved = cdx::PageCache::Budget();
  cdx::PageCache::SetBudget(256 << 10);  // a few hundred pages of a much larger index
  {
    auto t = Table::Open(dir.file("S.DBF"));
    ASSERT_TRUE(t.ok());
    Table* r = t->get();
    ASSERT_TRUE(r->SetOrder("BYCODE").ok());
    std::mt19937 rng(3);
    for (int i = 0; i < 3000; ++i) {
      int k = static_cast<int>(rng() % kRecords);
      ASSERT_TRUE(r->Seek(Value::Char(Code(k))).ok());
      ASSERT_TRUE(r->Found()) << Code(k);
      ASSERT_EQ(r->Get(2)->number(), k);
      // Changes go through the same small cache: move the key and back.
      if (i % 10 == 0) {
        ASSERT_TRUE(r->LockRecord().ok());
        ASSERT_TRUE(r->Put(0, Value::Char("X" + Code(k).substr(1))).ok());
        ASSERT_TRUE(r->UnlockRecord(r->RecNo()).ok());
        ASSERT_TRUE(r->LockRecord().ok());
        ASSERT_TRUE(r->Put(0, Value::Char(Code(k))).ok());
        ASSERT_TRUE(r->UnlockRecord(r->RecNo()).ok());
      }
    }
    EXPECT_LE(cdx::PageCache::TotalBytes(), cdx::PageCache::Budget() + (64 << 10));
    int n = 0;
    ASSERT_TRUE(r->SetOrder("BYNAME").ok());
    for (Status s = r->GoTop(); s.ok() && !r->Eof(); s = r->Skip(1)) ++n;
    EXPECT_EQ(n, kRecords);
    std::vector<std::string> problems;
    ASSERT_TRUE(r->Check(&problems).ok());
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
  cdx::PageCache::SetBudget(saved);
}

}  // namespace
}  // namespace xb
