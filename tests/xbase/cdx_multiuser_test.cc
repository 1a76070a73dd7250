// Two handles of one index behave like two users: the index lock excludes
// writers, the change counter tells readers to drop their cached pages, and
// nobody sees a half-written tree.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "cdx_test_util.h"
#include "xbase/cdx_cache.h"
#include "xbase/cdx_format.h"

namespace xb {
namespace {

using testing::Entries;

std::unique_ptr<CdxFile> OpenRW(const std::string& path) {
  auto f = CdxFile::Open(Env::Default(), path, OpenMode::kReadWrite);
  EXPECT_TRUE(f.ok()) << f.status().ToString();
  return f.ok() ? std::move(f.value()) : nullptr;
}

std::string Key(uint32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08u", n);
  return buf;
}

uint32_t Counter(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  uint8_t b[12];
  in.read(reinterpret_cast<char*>(b), 12);
  return cdx::GetBE32(b + 8);
}

class CdxMultiUser : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("M.cdx");
    auto f = CdxFile::Create(Env::Default(), path_, false);
    ASSERT_TRUE(f.ok());
    TagDef s;
    s.name = "K";
    s.key_expr = "CODE";
    s.key_len = 8;
    auto t = (*f)->AddTag(s);
    ASSERT_TRUE(t.ok());
    Entries e;
    for (uint32_t r = 1; r <= 3000; ++r) e.emplace_back(Key(r * 10), r);
    ASSERT_TRUE((*t)->Build(e).ok());
  }
  testing::TempDir dir_;
  std::string path_;
};

// A walk that finds its next leaf out of a small page cache reads a few
// more leaves ahead, in both directions. When the other handle then changes
// those leaves, the walk goes on through the changed ones, not through what
// it read ahead.
TEST_F(CdxMultiUser, LeavesReadAheadByAWalkGiveWayToTheOtherHandlesChanges) {
  size_t saved = cdx::PageCache::Budget();
  cdx::PageCache::SetBudget(24 << 10);  // a few dozen of the tree's leaves
  for (bool backward : {false, true}) {
    SCOPED_TRACE(backward ? "backward" : "forward");
    auto a = OpenRW(path_);
    auto b = OpenRW(path_);
    ASSERT_TRUE(a && b);
    CdxTag* ta = a->FindTag("K");
    CdxTag* tb = b->FindTag("K");
    auto c = tb->NewCursor();
    ASSERT_TRUE((backward ? c->Last() : c->First()).ok());
    Entries seen;
    for (int i = 0; i < 1000 && c->Valid(); ++i) {
      seen.emplace_back(c->key(), c->recno());
      ASSERT_TRUE((backward ? c->Prev() : c->Next()).ok());
    }
    // Just ahead of the walk: entries removed, others put between them.
    uint32_t at = c->recno();
    for (uint32_t k = 1; k <= 300; ++k) {
      uint32_t r = backward ? at - k : at + k;
      ASSERT_TRUE(ta->Remove(Key(r * 10), r).ok());
      ASSERT_TRUE(ta->Insert(Key(r * 10 + 5), 9000 + r).ok());
    }
    ASSERT_TRUE(b->Refresh().ok());
    while (c->Valid()) {
      seen.emplace_back(c->key(), c->recno());
      ASSERT_TRUE((backward ? c->Prev() : c->Next()).ok());
    }
    EXPECT_EQ(seen, testing::Walk(ta, backward));
  }
  cdx::PageCache::SetBudget(saved);
}

TEST_F(CdxMultiUser, ChangesOfOneHandleAreSeenByTheOtherAfterRefresh) {
  auto a = OpenRW(path_);
  auto b = OpenRW(path_);
  ASSERT_TRUE(a && b);
  CdxTag* ta = a->FindTag("K");
  CdxTag* tb = b->FindTag("k");
  ASSERT_EQ(testing::Walk(tb).size(), 3000u);  // b's cache now holds the tree

  uint32_t before = Counter(path_);
  ASSERT_TRUE(a->LockWrite().ok());
  EXPECT_TRUE(b->LockWrite().IsBusy());
  for (uint32_t r = 1; r <= 500; ++r) ASSERT_TRUE(ta->Insert(Key(r * 10 + 5), 5000 + r).ok());
  for (uint32_t r = 1; r <= 300; ++r) ASSERT_TRUE(ta->Remove(Key(r * 10), r).ok());
  ASSERT_TRUE(a->UnlockWrite().ok());
  // The counter moves on, and is even again once the change is complete
  // (odd only while a change is being written).
  EXPECT_GT(Counter(path_), before);
  EXPECT_EQ(Counter(path_) % 2, 0u);

  ASSERT_TRUE(b->Refresh().ok());
  Entries seen = testing::Walk(tb);
  EXPECT_EQ(seen, testing::Walk(ta));
  EXPECT_EQ(seen.size(), 3200u);

  // And back: b writes, a sees it; a tag added by b appears in a.
  ASSERT_TRUE(b->LockWrite().ok());
  ASSERT_TRUE(tb->Insert(Key(1), 9999).ok());
  TagDef s;
  s.name = "NEW";
  s.key_len = 4;
  auto nt = b->AddTag(s);
  ASSERT_TRUE(nt.ok());
  ASSERT_TRUE((*nt)->Insert("ABCD", 1).ok());
  ASSERT_TRUE(b->UnlockWrite().ok());
  ASSERT_TRUE(a->Refresh().ok());
  EXPECT_EQ(testing::Walk(ta).front(), std::make_pair(Key(1), 9999u));
  ASSERT_NE(a->FindTag("NEW"), nullptr);
  EXPECT_EQ(testing::Walk(a->FindTag("NEW")).size(), 1u);
  EXPECT_EQ(ta, a->FindTag("K")) << "tag objects survive a reload";

  // A tag deleted by one user is gone for the other; its old pointer fails cleanly.
  ASSERT_TRUE(a->DeleteTag("NEW").ok());
  CdxTag* gone = b->FindTag("NEW");
  ASSERT_TRUE(b->Refresh().ok());
  EXPECT_EQ(b->FindTag("NEW"), nullptr);
  EXPECT_TRUE(gone->Insert("XXXX", 2).IsNotFound());
}

TEST_F(CdxMultiUser, CursorFollowsChangesMadeByTheOtherUser) {
  auto a = OpenRW(path_);
  auto b = OpenRW(path_);
  auto cur = b->FindTag("K")->NewCursor();
  ASSERT_TRUE(cur->SeekEntry(Key(1000), 100).ok());
  ASSERT_TRUE(a->FindTag("K")->Insert(Key(1001), 7777).ok());  // locks on its own
  ASSERT_TRUE(b->Refresh().ok());
  ASSERT_TRUE(cur->Next().ok());
  EXPECT_EQ(cur->recno(), 7777u);
}

TEST_F(CdxMultiUser, ReaderWaitsForAWriterAndSeesItsWholeChange) {
  auto a = OpenRW(path_);
  ASSERT_TRUE(a->LockWrite().ok());
  CdxTag* ta = a->FindTag("K");
  for (uint32_t r = 1; r <= 2000; ++r) ASSERT_TRUE(ta->Insert(Key(r * 10 + 1), 10000 + r).ok());
  ASSERT_TRUE(a->Flush().ok());  // half of the work on disk, the lock still held
  std::atomic<bool> released{false};
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    for (uint32_t r = 1; r <= 2000; ++r) ASSERT_TRUE(ta->Insert(Key(r * 10 + 2), 20000 + r).ok());
    released = true;
    ASSERT_TRUE(a->UnlockWrite().ok());
  });
  // A new user opening now must wait for the writer, then see all of it.
  auto b = CdxFile::Open(Env::Default(), path_, OpenMode::kReadOnly);
  bool was_released = released;
  writer.join();
  ASSERT_TRUE(b.ok()) << b.status().ToString();
  EXPECT_TRUE(was_released);
  EXPECT_EQ(testing::Walk((*b)->FindTag("K")).size(), 7000u);
}

TEST_F(CdxMultiUser, ConcurrentWritersLoseNothingAndReadersSeeSortedTags) {
  constexpr int kWriters = 3, kPerWriter = 300;
  std::atomic<bool> stop{false};
  std::atomic<int> reader_errors{0};
  std::vector<std::thread> threads;
  for (int w = 0; w < kWriters; ++w) {
    threads.emplace_back([&, w] {
      auto f = OpenRW(path_);
      CdxTag* t = f->FindTag("K");
      for (int i = 0; i < kPerWriter; ++i) {
        Status s;
        for (;;) {
          s = f->LockWrite();
          if (!s.IsBusy()) break;
          std::this_thread::yield();
        }
        ASSERT_TRUE(s.ok()) << s.ToString();
        uint32_t rec = 100000 + w * kPerWriter + i;
        ASSERT_TRUE(t->Insert(Key(rec % 40000), rec).ok());
        ASSERT_TRUE(f->UnlockWrite().ok());
      }
    });
  }
  std::thread reader([&] {
    auto f = CdxFile::Open(Env::Default(), path_, OpenMode::kReadOnly);
    ASSERT_TRUE(f.ok());
    CdxTag* t = (*f)->FindTag("K");
    while (!stop) {
      if (!(*f)->Refresh().ok()) ++reader_errors;
      auto c = t->NewCursor();
      Status s = c->First();
      std::pair<std::string, uint32_t> prev;
      size_t n = 0;
      while (s.ok() && c->Valid()) {
        std::pair<std::string, uint32_t> cur(c->key(), c->recno());
        if (n++ && !(prev < cur)) ++reader_errors;
        prev = cur;
        s = c->Next();
      }
      if (!s.ok()) ++reader_errors;
    }
  });
  for (auto& th : threads) th.join();
  stop = true;
  reader.join();
  EXPECT_EQ(reader_errors, 0);
  auto f = CdxFile::Open(Env::Default(), path_, OpenMode::kReadOnly);
  ASSERT_TRUE(f.ok());
  Entries all = testing::Walk((*f)->FindTag("K"));
  EXPECT_EQ(all.size(), 3000u + kWriters * kPerWriter);
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
}

TEST_F(CdxMultiUser, ReadOnlyHandleRefusesChanges) {
  auto f = CdxFile::Open(Env::Default(), path_, OpenMode::kReadOnly);
  ASSERT_TRUE(f.ok());
  EXPECT_EQ((*f)->LockWrite().code(), Code::kReadOnly);
  EXPECT_EQ((*f)->FindTag("K")->Insert("X", 1).code(), Code::kReadOnly);
}

}  // namespace
}  // namespace xb
