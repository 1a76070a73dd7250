// A leaf keeps the page it last wrote and patches it on every edit; the
// patched page must be byte for byte what packing the leaf from scratch
// gives, whatever the edits: first, middle and last entries, duplicates,
// keys of padding only, record numbers that widen or narrow the entries,
// and a leaf filled up to the point where it must split.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "xbase/cdx_format.h"

namespace xb::cdx {
namespace {

std::string Page(const Node& n, char pad) {
  uint8_t page[kPageSize];
  EncodeNode(n, pad, page);
  return std::string(reinterpret_cast<char*>(page), kPageSize);
}

// The same leaf without the kept page: packed from its entries alone.
std::string Fresh(const Node& n, char pad) {
  Node copy = n;
  copy.image.clear();
  return Page(copy, pad);
}

struct Case {
  int klen;
  char pad;
  uint32_t max_rec;  // record numbers up to this (wider ones need 4-byte entries)
};

std::string RandomKey(std::mt19937& rng, const Case& c) {
  std::string k(static_cast<size_t>(c.klen), c.pad);
  int len = static_cast<int>(rng() % (c.klen + 1));
  int prefix = static_cast<int>(rng() % (c.klen / 2 + 1));
  for (int i = 0; i < len; ++i) k[i] = i < prefix ? 'P' : "AB"[rng() % 2];
  return k;
}

TEST(CdxLeafImage, PatchedPagesEqualPagesPackedFromScratch) {
  for (const Case& c : {Case{10, ' ', 5000}, Case{45, ' ', 200000}, Case{8, '\0', 20000000},
                        Case{1, ' ', 70000}}) {
    SCOPED_TRACE("key length " + std::to_string(c.klen));
    std::mt19937 rng(static_cast<uint32_t>(c.klen));
    Node n;
    n.attr = kAttrLeaf;
    n.klen = c.klen;
    n.pad = c.pad;
    n.key_bytes = 0;
    int patched = 0;
    for (int step = 0; step < 4000; ++step) {
      int op = static_cast<int>(rng() % 10);
      if (n.n() > 0 && op < 3) {
        n.Erase(static_cast<int>(rng() % n.n()));
      } else if (n.n() > 0 && op < 5) {
        // A new key in place: kept only when the order stays as it was.
        int i = static_cast<int>(rng() % n.n());
        std::string k = RandomKey(rng, c);
        bool after_prev = i == 0 || std::string(n.key(i - 1), c.klen) <= k;
        bool before_next = i + 1 == n.n() || k <= std::string(n.key(i + 1), c.klen);
        if (after_prev && before_next) n.SetKey(i, k.data(), 1 + rng() % c.max_rec);
      } else {
        std::string k = RandomKey(rng, c);
        int i = 0;
        while (i < n.n() && std::string(n.key(i), c.klen) <= k) ++i;
        n.Insert(i, k.data(), 1 + rng() % c.max_rec, 0);
      }
      // Too full for a page: a split would move half of it out.
      while (LeafBytes(n, 0, n.n(), c.pad) > kLeafArea) n.Erase(n.n() - 1);
      // The page cache takes the kept page of leaves it has not seen
      // changed for a while: the edits after that start from none.
      if (rng() % 13 == 0) n.DropImage();
      patched += !n.image.empty();
      ASSERT_EQ(Page(n, c.pad), Fresh(n, c.pad)) << "after step " << step;
      // The size the edits counted is the size packing from scratch finds.
      Node counted = n;
      counted.key_bytes = -1;
      ASSERT_EQ(LeafBytes(n, 0, n.n(), c.pad), LeafBytes(counted, 0, counted.n(), c.pad))
          << "after step " << step;
      // Cut in two anywhere, the halves say what they would take joined
      // again (the check a merge of two leaves makes).
      Node left = n, right;
      right.attr = kAttrLeaf;
      right.klen = c.klen;
      right.pad = c.pad;
      right.min_rec = n.min_rec;
      left.MoveTail(static_cast<int>(rng() % (n.n() + 1)), &right);
      if (step % 2) LeafBytes(left, 0, left.n(), c.pad);  // sizes known beforehand, or not
      ASSERT_EQ(MergedLeafBytes(left, right, c.pad), LeafBytes(counted, 0, counted.n(), c.pad))
          << "after step " << step;
      Node back;
      ASSERT_TRUE(DecodeNode(reinterpret_cast<const uint8_t*>(Page(n, c.pad).data()), c.klen,
                             c.pad, &back).ok());
      ASSERT_EQ(back.keys, n.keys);
      ASSERT_EQ(back.recs, n.recs);
    }
    // The kept page was in use most of the time, not dropped at every edit.
    EXPECT_GT(patched, 2000);
  }
}

// The page cache's budget counts the room of a node's buffers: room a leaf
// does not use is a page the budget cannot hold. Filled by inserts, cut by
// a split, or reused for a smaller page, a node keeps at most about a
// quarter more than its entries need.
TEST(CdxLeafImage, NodesKeepLittleRoomBeyondTheirEntries) {
  auto loose = [](const Node& n) {
    return n.keys.capacity() > n.keys.size() + n.keys.size() / 4 + 4 * static_cast<size_t>(n.klen) ||
           n.recs.capacity() > n.recs.size() + n.recs.size() / 4 + 16;
  };
  std::mt19937 rng(5);
  const Case c{45, ' ', 1000000};
  Node n;
  n.attr = kAttrLeaf;
  n.klen = c.klen;
  n.pad = c.pad;
  n.key_bytes = 0;
  for (;;) {
    std::string k = RandomKey(rng, c);
    int i = 0;
    while (i < n.n() && std::string(n.key(i), c.klen) <= k) ++i;
    n.Insert(i, k.data(), 1 + rng() % c.max_rec, 0);
    if (LeafBytes(n, 0, n.n(), c.pad) > kLeafArea) break;
    ASSERT_FALSE(loose(n)) << n.n() << " entries";
  }
  Node right;
  right.attr = kAttrLeaf;
  right.klen = c.klen;
  right.pad = c.pad;
  // A reused node that held a larger page of longer keys.
  right.keys.reserve(8000);
  right.recs.reserve(400);
  n.MoveTail(n.n() / 2, &right);
  EXPECT_FALSE(loose(n));
  EXPECT_FALSE(loose(right));
  EXPECT_LT(n.image.capacity(), 32u);  // no heap block
  // A page read into the big node of the left half's size: trimmed too.
  Node big = right;
  big.keys.reserve(20000);
  big.image.assign(kImageSize, '\0');
  std::string small = Page(n, c.pad);
  ASSERT_TRUE(DecodeNode(reinterpret_cast<const uint8_t*>(small.data()), c.klen, c.pad, &big).ok());
  big.Fit();
  EXPECT_FALSE(loose(big));
  EXPECT_LT(big.image.capacity(), 32u);  // no heap block
  EXPECT_EQ(Page(big, c.pad), small);
  // A kept page dropped is packed again the same.
  ASSERT_FALSE(n.image.empty());
  n.DropImage();
  EXPECT_LT(n.image.capacity(), 32u);  // no heap block
  EXPECT_EQ(Page(n, c.pad), small);
}

// A leaf read from disk keeps room for one more entry (the descent of a
// change inserts into it next): the first insert moves no buffer, the room
// stays within what the budget allows, and the leaf it becomes packs the
// same as one built without the room, through more inserts and a split.
TEST(CdxLeafImage, ALeafReadFromDiskTakesItsFirstInsertInPlace) {
  for (const Case& c : {Case{45, ' ', 1000000}, Case{8, '\0', 20000000}, Case{30, ' ', 5000}}) {
    SCOPED_TRACE("key length " + std::to_string(c.klen));
    std::mt19937 rng(static_cast<uint32_t>(c.klen) + 11);
    Node built;
    built.attr = kAttrLeaf;
    built.klen = c.klen;
    built.pad = c.pad;
    built.key_bytes = 0;
    for (;;) {
      std::string k = RandomKey(rng, c);
      int i = 0;
      while (i < built.n() && std::string(built.key(i), c.klen) <= k) ++i;
      built.Insert(i, k.data(), 1 + rng() % c.max_rec, 0);
      if (LeafBytes(built, 0, built.n(), c.pad) > 3 * kLeafArea / 4) break;
    }
    const std::string page = Fresh(built, c.pad);
    Node read;
    ASSERT_TRUE(DecodeNode(reinterpret_cast<const uint8_t*>(page.data()), c.klen, c.pad, &read).ok());
    read.Fit();
    EXPECT_EQ(Page(read, c.pad), page);  // the room changes nothing on disk
    EXPECT_GE(read.keys.capacity(), read.keys.size() + static_cast<size_t>(c.klen));
    EXPECT_GE(read.recs.capacity(), read.recs.size() + 1);
    EXPECT_LE(read.keys.capacity(), read.keys.size() + read.keys.size() / 4 + 16);
    const char* keys_at = read.keys.data();
    const uint32_t* recs_at = read.recs.data();
    // Inserts the same entry into the read leaf and the built one, then
    // compares the packed pages, the read one without and with a kept page.
    auto insert_both = [&] {
      std::string k = RandomKey(rng, c);
      uint32_t rec = 1 + rng() % c.max_rec;
      int i = 0;
      while (i < read.n() && std::string(read.key(i), c.klen) <= k) ++i;
      read.Insert(i, k.data(), rec, 0);
      built.Insert(i, k.data(), rec, 0);
    };
    insert_both();
    EXPECT_EQ(read.keys.data(), keys_at);
    EXPECT_EQ(read.recs.data(), recs_at);
    ASSERT_EQ(Fresh(read, c.pad), Fresh(built, c.pad));
    ASSERT_EQ(Page(read, c.pad), Fresh(built, c.pad));  // now with a kept page
    while (LeafBytes(read, 0, read.n(), c.pad) <= kLeafArea) {
      insert_both();
      ASSERT_EQ(LeafBytes(read, 0, read.n(), c.pad), LeafBytes(built, 0, built.n(), c.pad));
      if (LeafBytes(read, 0, read.n(), c.pad) <= kLeafArea) {
        ASSERT_EQ(Page(read, c.pad), Fresh(built, c.pad)) << read.n() << " entries";
      }
    }
    // Overfull: both split at the same entry pack the same halves.
    Node read_right, built_right;
    for (Node* r : {&read_right, &built_right}) {
      r->attr = kAttrLeaf;
      r->klen = c.klen;
      r->pad = c.pad;
    }
    read.MoveTail(read.n() / 2, &read_right);
    built.MoveTail(built.n() / 2, &built_right);
    EXPECT_EQ(Page(read, c.pad), Fresh(built, c.pad));
    EXPECT_EQ(Page(read_right, c.pad), Fresh(built_right, c.pad));
  }
}

TEST(CdxLeafImage, ASplitOrAWiderEntryLayoutStartsAFreshPage) {
  Node n;
  n.attr = kAttrLeaf;
  n.klen = 12;
  n.pad = ' ';
  n.key_bytes = 0;
  for (int i = 0; i < 20; ++i) n.Insert(i, ("KEY" + std::to_string(100 + i) + "      ").data(), i + 1, 0);
  std::string before = Page(n, ' ');
  ASSERT_FALSE(n.image.empty());
  // A record number past three-byte entries: every entry grows a byte.
  n.Insert(20, "ZZZ         ", 1u << 20, 0);
  EXPECT_TRUE(n.image.empty());
  EXPECT_EQ(Page(n, ' '), Fresh(n, ' '));
  EXPECT_EQ(n.image[23], 4);  // bytes per entry
  // And narrower again once it is gone.
  n.Erase(20);
  EXPECT_EQ(Page(n, ' '), before);
  Node right;
  right.attr = kAttrLeaf;
  right.klen = 12;
  right.pad = ' ';
  n.MoveTail(10, &right);
  EXPECT_TRUE(n.image.empty());
  EXPECT_EQ(Page(n, ' '), Fresh(n, ' '));
  EXPECT_EQ(Page(right, ' '), Fresh(right, ' '));
}


// Packs `n` as an engine that compresses less than it could: each entry's
// duplicate and trailing counts are anything from none up to the most the
// format allows (a duplicate run may even reach into both keys' padding),
// and now and then the free bytes between the entries and the keys are not
// cleared. `*loose_counts` tells whether any count is short of the tightest.
std::string PackLoosely(const Node& n, char pad, std::mt19937& rng, bool* loose_counts) {
  *loose_counts = false;
  const int klen = n.klen;
  const LeafLayout l = ChooseLayout(klen, n.LayoutRec());
  uint8_t page[kPageSize] = {};
  page[0] = kAttrLeaf;
  page[2] = static_cast<uint8_t>(n.n());
  std::memset(page + 4, 0xFF, 8);
  uint8_t* area = page + 24;
  int key_end = kLeafArea;
  for (int i = 0; i < n.n(); ++i) {
    const char* k = n.key(i);
    int max_trail = 0;
    while (max_trail < klen && k[klen - 1 - max_trail] == pad) ++max_trail;
    int max_dup = 0;
    while (i > 0 && max_dup < klen && n.key(i - 1)[max_dup] == k[max_dup]) ++max_dup;
    int trail = static_cast<int>(rng() % (max_trail + 1));
    int dup = std::min(static_cast<int>(rng() % (max_dup + 1)), klen - trail);
    if (rng() % 3 == 0) {  // now and then the tightest counts
      trail = max_trail;
      dup = std::min(max_dup, klen - trail);
    }
    int prev_trail = 0;
    while (i > 0 && prev_trail < klen && n.key(i - 1)[klen - 1 - prev_trail] == pad) ++prev_trail;
    const int tight_dup = i > 0 ? std::min(max_dup, klen - std::max(max_trail, prev_trail)) : 0;
    if (trail != max_trail || dup != tight_dup) *loose_counts = true;
    const int stored = klen - dup - trail;
    key_end -= stored;
    std::memcpy(area + key_end, k + dup, static_cast<size_t>(stored));
    uint64_t v = n.recs[i] | (static_cast<uint64_t>(dup) << l.rec_bits) |
                 (static_cast<uint64_t>(trail) << (l.rec_bits + l.dup_bits));
    for (int b = 0; b < l.bytes; ++b) area[i * l.bytes + b] = static_cast<uint8_t>(v >> (8 * b));
  }
  if (key_end > n.n() * l.bytes && rng() % 4 == 0) area[n.n() * l.bytes] = 0x5A;
  const uint32_t rec_mask = l.rec_bits == 32 ? 0xFFFFFFFFu : (1u << l.rec_bits) - 1;
  for (int b = 0; b < 4; ++b) page[14 + b] = static_cast<uint8_t>(rec_mask >> (8 * b));
  page[18] = page[19] = static_cast<uint8_t>((1u << l.dup_bits) - 1);
  page[20] = static_cast<uint8_t>(l.rec_bits);
  page[21] = page[22] = static_cast<uint8_t>(l.dup_bits);
  page[23] = static_cast<uint8_t>(l.bytes);
  const int free_bytes = key_end - n.n() * l.bytes;
  page[12] = static_cast<uint8_t>(free_bytes);
  page[13] = static_cast<uint8_t>(free_bytes >> 8);
  return std::string(reinterpret_cast<char*>(page), kPageSize);
}

// A leaf read from disk knows its packed size without counting it, and keeps
// the page as the image its edits patch, when the page was packed exactly as
// we pack; packed any other way it must count the size and pack anew, or a
// leaf that no longer fits would be written past its page.
TEST(CdxLeafImage, ALeafReadFromDiskKnowsItsSizeOnlyWhenPackedAsWePack) {
  for (const Case& c : {Case{10, ' ', 5000}, Case{45, ' ', 200000}, Case{8, '\0', 20000000},
                        Case{1, ' ', 70000}}) {
    SCOPED_TRACE("key length " + std::to_string(c.klen));
    std::mt19937 rng(static_cast<uint32_t>(c.klen) + 29);
    int known_loose = 0, untidy = 0;
    for (int round = 0; round < 300; ++round) {
      Node built;
      built.attr = kAttrLeaf;
      built.klen = c.klen;
      built.pad = c.pad;
      built.key_bytes = 0;
      const int target = static_cast<int>(rng() % 40) + 1;
      // Small enough that even stored without any compression it fits.
      for (int e = 0; e < target && (e + 1) * (c.klen + 4) <= kLeafArea; ++e) {
        std::string k = RandomKey(rng, c);
        if (e > 0 && rng() % 4 == 0) k = std::string(built.key(e - 1), c.klen);  // equal keys
        int i = 0;
        while (i < built.n() && std::string(built.key(i), c.klen) <= k) ++i;
        built.Insert(i, k.data(), 1 + rng() % c.max_rec, 0);
      }
      Node counted = built;
      counted.key_bytes = -1;
      const int size = LeafBytes(counted, 0, counted.n(), c.pad);

      const std::string ours = Fresh(built, c.pad);
      Node read;
      ASSERT_TRUE(
          DecodeNode(reinterpret_cast<const uint8_t*>(ours.data()), c.klen, c.pad, &read, true).ok());
      EXPECT_GE(read.key_bytes, 0) << "round " << round;
      EXPECT_EQ(LeafBytes(read, 0, read.n(), c.pad), size) << "round " << round;
      // Our own page is kept as the leaf's image and written back unchanged.
      EXPECT_FALSE(read.image.empty()) << "round " << round;
      EXPECT_EQ(Page(read, c.pad), ours) << "round " << round;

      bool loose_counts = false;
      const std::string loose = PackLoosely(built, c.pad, rng, &loose_counts);
      Node other;
      Status decoded =
          DecodeNode(reinterpret_cast<const uint8_t*>(loose.data()), c.klen, c.pad, &other, true);
      ASSERT_TRUE(decoded.ok()) << decoded.message();
      ASSERT_EQ(other.keys, built.keys);
      const bool differs = loose.compare(24, kLeafArea, ours, 24, kLeafArea) != 0;
      known_loose += other.key_bytes >= 0 && loose_counts;
      untidy += differs && !loose_counts;
      // Another engine's page is never taken for the image we would write.
      EXPECT_EQ(other.image.empty(), differs) << "round " << round;
      EXPECT_EQ(LeafBytes(other, 0, other.n(), c.pad), size) << "round " << round;
      EXPECT_EQ(Page(other, c.pad), ours) << "round " << round;
      // The sizes the edits keep from there on stay right as well.
      std::string k = RandomKey(rng, c);
      int i = 0;
      while (i < other.n() && std::string(other.key(i), c.klen) <= k) ++i;
      other.Insert(i, k.data(), 1, 0);
      built.Insert(i, k.data(), 1, 0);
      counted = built;
      counted.key_bytes = -1;
      EXPECT_EQ(LeafBytes(other, 0, other.n(), c.pad), LeafBytes(counted, 0, counted.n(), c.pad));
      read.Insert(i, k.data(), 1, 0);
      EXPECT_EQ(Page(read, c.pad), Fresh(built, c.pad)) << "round " << round;
      EXPECT_EQ(Page(other, c.pad), Fresh(built, c.pad)) << "round " << round;
    }
    EXPECT_EQ(known_loose, 0);
    EXPECT_GT(untidy, 0);  // tight counts in an untidy page were met
  }
}

}  // namespace
}  // namespace xb::cdx
