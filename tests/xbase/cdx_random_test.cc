// Thousands of random inserts and removes on several tags of one file,
// checked against a sorted in-memory model after every batch, with the file
// reopened from disk and its raw tree structure checked now and then.
#include <algorithm>
#include <fstream>
#include <random>
#include <set>

#include "cdx_test_util.h"
#include "xbase/cdx_cache.h"
#include "xbase/cdx_format.h"
#include "xbase/key_encoding.h"

namespace xb {
namespace {

using testing::Entries;
using Model = std::set<std::pair<std::string, uint32_t>>;

struct TagCase {
  std::string name;
  int klen;
  KeyType type;
  bool descending;
};

std::string RandomKey(std::mt19937& rng, const TagCase& c) {
  if (c.type == KeyType::kNumber) {
    return *EncodeKey(Value::Number(static_cast<int>(rng() % 101) - 50), KeyType::kNumber, 8);
  }
  // Few letters and blank tails: many duplicates, long shared prefixes and
  // trailing blanks, the cases leaf compression has to get right.
  std::string k(static_cast<size_t>(c.klen), ' ');
  int len = static_cast<int>(rng() % (c.klen + 1));
  int prefix = c.klen > 4 ? static_cast<int>(rng() % (c.klen / 2 + 1)) : 0;
  for (int i = 0; i < len; ++i) k[i] = i < prefix ? 'P' : "AB "[rng() % 3];
  return k;
}

// Checks the bytes on disk: every interior key is its child's last entry,
// leaves are all at one depth and chained both ways in key order.
void CheckRawTree(const std::string& raw, uint32_t root, int klen, char pad) {
  auto b = reinterpret_cast<const uint8_t*>(raw.data());
  std::vector<std::vector<uint32_t>> levels{{root}};
  for (;;) {
    std::vector<uint32_t> next;
    bool leaves = false;
    for (uint32_t off : levels.back()) {
      cdx::Node n;
      ASSERT_TRUE(cdx::DecodeNode(b + off, klen, pad, &n).ok());
      ASSERT_EQ(n.root(), off == root);
      leaves = n.leaf();
      if (n.leaf()) {
        ASSERT_TRUE(n.n() > 0 || off == root) << "empty leaf left in the tree";
        continue;
      }
      for (int i = 0; i < n.n(); ++i) {
        cdx::Node c;
        ASSERT_TRUE(cdx::DecodeNode(b + n.kids[i], klen, pad, &c).ok());
        ASSERT_GT(c.n(), 0);
        ASSERT_EQ(std::string(c.last_key(), klen), n.key_str(i));
        ASSERT_EQ(c.last_rec(), n.recs[i]);
        next.push_back(n.kids[i]);
      }
    }
    if (leaves) break;
    ASSERT_FALSE(next.empty());
    ASSERT_LT(levels.size(), 16u) << "tree much deeper than its size needs";
    levels.push_back(next);
  }
  for (auto& level : levels) {
    for (size_t i = 0; i < level.size(); ++i) {
      cdx::Node n;
      ASSERT_TRUE(cdx::DecodeNode(b + level[i], klen, pad, &n).ok());
      EXPECT_EQ(n.left, i == 0 ? cdx::kNoPage : level[i - 1]);
      EXPECT_EQ(n.right, i + 1 == level.size() ? cdx::kNoPage : level[i + 1]);
    }
  }
}

Entries Expected(const Model& m, bool descending) {
  Entries e(m.begin(), m.end());
  if (descending) std::reverse(e.begin(), e.end());
  return e;
}

void RunModel(uint32_t seed) {
  testing::TempDir dir;
  std::string path = dir.File("R.cdx");
  std::vector<TagCase> cases = {
      {"ONE", 1, KeyType::kChar, false},   {"NUM", 8, KeyType::kNumber, false},
      {"DESC", 20, KeyType::kChar, true},  {"WIDE", 120, KeyType::kChar, false},
      {"HUGE", 240, KeyType::kChar, true},
  };
  std::unique_ptr<CdxFile> f;
  {
    auto c = CdxFile::Create(Env::Default(), path, false);
    ASSERT_TRUE(c.ok());
    f = std::move(c.value());
  }
  std::vector<Model> models(cases.size());
  for (auto& c : cases) {
    TagDef s;
    s.name = c.name;
    s.key_expr = "K_" + c.name;
    s.key_len = c.klen;
    s.key_type = c.type;
    s.descending = c.descending;
    ASSERT_TRUE(f->AddTag(s).ok());
  }
  std::mt19937 rng(seed);
  uint32_t next_rec = 1;
  const int kBatches = 60;
  for (int batch = 0; batch < kBatches; ++batch) {
    // Grow for a while, then shrink to nothing, then grow again.
    bool shrinking = batch >= 25 && batch < 40;
    ASSERT_TRUE(f->LockWrite().ok());
    for (size_t t = 0; t < cases.size(); ++t) {
      CdxTag* tag = f->FindTag(cases[t].name);
      ASSERT_NE(tag, nullptr);
      Model& m = models[t];
      int ops = 150 + static_cast<int>(rng() % 150);
      for (int i = 0; i < ops; ++i) {
        bool remove = !m.empty() && (shrinking ? rng() % 10 < 8 : rng() % 10 < 3);
        if (remove) {
          auto it = m.begin();
          std::advance(it, rng() % m.size());
          Status s = tag->Remove(it->first, it->second);
          ASSERT_TRUE(s.ok()) << s.ToString();
          m.erase(it);
        } else {
          std::string k = RandomKey(rng, cases[t]);
          uint32_t r = rng() % 4 == 0 ? next_rec + 100000 : next_rec;  // recnos up to 3 bytes
          ++next_rec;
          Status s = tag->Insert(k, r);
          ASSERT_TRUE(s.ok()) << s.ToString();
          m.emplace(k, r);
        }
      }
      // Removing what is not there is NotFound and changes nothing.
      EXPECT_TRUE(tag->Remove(RandomKey(rng, cases[t]), 999999999).IsNotFound());
    }
    ASSERT_TRUE(f->UnlockWrite().ok());

    if (batch % 7 == 6) {
      f.reset();
      auto o = CdxFile::Open(Env::Default(), path, OpenMode::kReadWrite);
      ASSERT_TRUE(o.ok()) << o.status().ToString();
      f = std::move(o.value());
      std::ifstream in(path, std::ios::binary);
      std::string raw((std::istreambuf_iterator<char>(in)), {});
      for (size_t t = 0; t < cases.size(); ++t) {
        CdxTag* tag = f->tag(static_cast<int>(t));
        ASSERT_EQ(tag->def().name, cases[t].name);
        uint32_t hoff = 0;
        // The tag's header: the directory entry's record number.
        auto dir_walk = [&]() {
          for (size_t off = 1536; off + 1024 <= raw.size(); off += 512) {
            if (std::string(reinterpret_cast<const char*>(raw.data() + off + 512)) ==
                "K_" + cases[t].name)
              return static_cast<uint32_t>(off);
          }
          return 0u;
        };
        hoff = dir_walk();
        ASSERT_NE(hoff, 0u);
        CheckRawTree(raw, cdx::GetLE32(reinterpret_cast<const uint8_t*>(raw.data()) + hoff),
                     cases[t].klen, cases[t].type == KeyType::kChar ? ' ' : '\0');
      }
    }
    for (size_t t = 0; t < cases.size(); ++t) {
      CdxTag* tag = f->FindTag(cases[t].name);
      tag->SetKeyType(cases[t].type);
      SCOPED_TRACE(cases[t].name + " batch " + std::to_string(batch));
      Entries expected = Expected(models[t], cases[t].descending);
      ASSERT_EQ(testing::Walk(tag), expected);
      Entries back = testing::Walk(tag, true);
      std::reverse(back.begin(), back.end());
      ASSERT_EQ(back, expected);
      // Seeks of present and absent entries.
      auto c = tag->NewCursor();
      for (int i = 0; i < 20 && !expected.empty(); ++i) {
        auto& e = expected[rng() % expected.size()];
        ASSERT_TRUE(c->SeekEntry(e.first, e.second).ok());
        ASSERT_EQ(c->recno(), e.second);
        bool found = false;
        ASSERT_TRUE(c->Seek(e.first, false, false, &found).ok());
        ASSERT_TRUE(found);
        // The first entry with this key in logical order.
        auto first = std::find_if(expected.begin(), expected.end(),
                                  [&](auto& x) { return x.first == e.first; });
        ASSERT_EQ(c->recno(), first->second);
        ASSERT_TRUE(c->Seek(e.first, false, true, &found).ok());
        auto last = std::find_if(expected.rbegin(), expected.rend(),
                                 [&](auto& x) { return x.first == e.first; });
        ASSERT_EQ(c->recno(), last->second);
      }
    }
  }
  size_t total = 0;
  for (auto& m : models) total += m.size();
  EXPECT_GT(total, 1000u);
}

TEST(CdxRandom, InsertsAndRemovesMatchASortedModel) { RunModel(20240611); }

// With room for a few dozen decoded pages, nearly every read evicts a page
// and the next read reuses the evicted node for another page, of another
// tag or kind (leaf, interior): nothing of its old page may show through.
TEST(CdxRandom, ASmallPageCacheThatReusesEvictedNodesMatchesTheModelToo) {
  size_t saved = cdx::PageCache::Budget();
  cdx::PageCache::SetBudget(96 << 10);
  RunModel(7);
  cdx::PageCache::SetBudget(saved);
}

TEST(CdxRandom, CursorKeepsItsPlaceWhileTheTagChanges) {
  testing::TempDir dir;
  auto f = CdxFile::Create(Env::Default(), dir.File("C.cdx"), false);
  ASSERT_TRUE(f.ok());
  TagDef s;
  s.name = "T";
  s.key_len = 6;
  auto tag = (*f)->AddTag(s);
  ASSERT_TRUE(tag.ok());
  for (uint32_t r = 1; r <= 2000; ++r) {
    char k[8];
    std::snprintf(k, sizeof k, "%06u", r * 2);
    ASSERT_TRUE((*tag)->Insert(k, r).ok());
  }
  auto c = (*tag)->NewCursor();
  ASSERT_TRUE(c->First().ok());
  // Walk while inserting keys between the ones walked, and removing ones
  // ahead: every surviving original key is seen once, in order.
  std::vector<std::string> seen;
  uint32_t extra = 5000;
  while (c->Valid()) {
    seen.push_back(c->key());
    std::string k = c->key();
    std::string odd = k;
    odd[5] = static_cast<char>(odd[5] + 1);
    ASSERT_TRUE((*tag)->Insert(odd, extra++).ok());
    ASSERT_TRUE(c->Next().ok());
    ASSERT_TRUE(c->Valid());
    ASSERT_EQ(c->key(), odd);
    ASSERT_TRUE((*tag)->Remove(odd, extra - 1).ok());
    ASSERT_TRUE(c->Next().ok());
  }
  EXPECT_EQ(seen.size(), 2000u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

}  // namespace
}  // namespace xb
