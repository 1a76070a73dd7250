// Indexes we write: built in bulk or one key at a time from the fixtures'
// keys, they walk like the other engine's, reopen, and their pages follow the
// other engine's byte layout.
#include <algorithm>
#include <fstream>
#include <random>

#include "cdx_test_util.h"
#include "xbase/cdx_format.h"

namespace xb {
namespace {

using testing::Entries;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

KeyType FixtureType(const std::string& name) {
  if (name == "EMPLE6" || name == "TIPOS" || name == "TIPOS2") return KeyType::kNumber;
  if (name == "EMPLE7" || name == "TIPOS3") return KeyType::kDate;
  return KeyType::kChar;
}

// The entries of a fixture tag in storage (ascending) order.
Entries StoredEntries(CdxTag* tag) {
  Entries e = testing::Walk(tag);
  if (tag->def().descending) std::reverse(e.begin(), e.end());
  return e;
}

TEST(CdxWrite, DecodingAndEncodingFixturePagesGivesTheSameBytes) {
  for (const char* table : {"EMPLE", "PUESTOS", "TIPOS", "VACIA"}) {
    std::string raw = ReadAll(testing::FixturePath(std::string(table) + ".cdx"));
    auto bytes = reinterpret_cast<const uint8_t*>(raw.data());
    auto f = CdxFile::Open(Env::Default(), testing::FixturePath(std::string(table) + ".cdx"),
                           OpenMode::kReadOnly);
    ASSERT_TRUE(f.ok());
    // Tag headers: find them through the directory at offset 0.
    std::vector<std::tuple<uint32_t, int, char>> roots{{cdx::GetLE32(bytes), 10, ' '}};
    for (int i = 0; i < (*f)->tag_count(); ++i) {
      CdxTag* t = (*f)->tag(i);
      KeyType type = FixtureType(t->def().name);
      char pad = type == KeyType::kChar ? ' ' : '\0';
      // Root pointers from the headers, found by matching expressions.
      for (size_t off = 1024; off + 1024 <= raw.size(); off += 512) {
        const uint8_t* h = bytes + off;
        if (cdx::GetLE16(h + cdx::kHdrKeyLen) == t->def().key_len && h[cdx::kHdrSignature] == 1 &&
            (h[cdx::kHdrOptions] & 0x60) == 0x60 &&
            std::string(reinterpret_cast<const char*>(h + 512)) == t->def().key_expr) {
          roots.emplace_back(cdx::GetLE32(h), t->def().key_len, pad);
        }
      }
    }
    int pages = 0;
    for (auto [root, klen, pad] : roots) {
      std::vector<uint32_t> stack{root};
      while (!stack.empty()) {
        uint32_t off = stack.back();
        stack.pop_back();
        cdx::Node n;
        ASSERT_TRUE(cdx::DecodeNode(bytes + off, klen, pad, &n).ok());
        uint8_t page[cdx::kPageSize];
        cdx::EncodeNode(n, pad, page);
        // Interior pages may keep stale bytes after their last key.
        size_t used = n.leaf() ? 512 : 12 + n.n() * (klen + 8);
        ASSERT_EQ(std::string(reinterpret_cast<char*>(page), used), raw.substr(off, used))
            << table << " page " << off;
        ++pages;
        if (!n.leaf()) stack.insert(stack.end(), n.kids.begin(), n.kids.end());
      }
    }
    EXPECT_GT(pages, 0);
  }
}

TEST(CdxWrite, TagsBuiltOrInsertedFromFixtureKeysWalkLikeTheFixture) {
  testing::TempDir dir;
  auto src = CdxFile::Open(Env::Default(), testing::FixturePath("EMPLE.cdx"), OpenMode::kReadOnly);
  ASSERT_TRUE(src.ok());
  auto manifest = testing::LoadManifest("EMPLE");
  std::string path = dir.File("NEW.cdx");
  {
    auto dst = CdxFile::Create(Env::Default(), path, false);
    ASSERT_TRUE(dst.ok()) << dst.status().ToString();
    std::mt19937 rng(42);
    for (int i = 0; i < (*src)->tag_count(); ++i) {
      CdxTag* from = (*src)->tag(i);
      from->SetKeyType(FixtureType(from->def().name));
      Entries entries = StoredEntries(from);
      TagDef tdef = from->def();
      SCOPED_TRACE(tdef.name);
      auto built = (*dst)->AddTag(tdef);
      ASSERT_TRUE(built.ok()) << built.status().ToString();
      ASSERT_TRUE((*built)->Build(entries).ok());
      EXPECT_EQ(testing::Walk(*built), testing::Walk(from));

      // The same keys one by one in random order, into a second tag.
      tdef.name = "I" + tdef.name.substr(std::min<size_t>(tdef.name.size(), 1));
      auto ins = (*dst)->AddTag(tdef);
      ASSERT_TRUE(ins.ok()) << ins.status().ToString();
      Entries shuffled = entries;
      std::shuffle(shuffled.begin(), shuffled.end(), rng);
      ASSERT_TRUE((*dst)->LockWrite().ok());
      for (auto& [k, r] : shuffled) ASSERT_TRUE((*ins)->Insert(k, r).ok());
      ASSERT_TRUE((*dst)->UnlockWrite().ok());
      EXPECT_EQ(testing::Walk(*ins), testing::Walk(from));
    }
  }
  // Reopened: same tags, same order, expressions kept.
  auto again = CdxFile::Open(Env::Default(), path, OpenMode::kReadOnly);
  ASSERT_TRUE(again.ok()) << again.status().ToString();
  ASSERT_EQ((*again)->tag_count(), 2 * (*src)->tag_count());
  for (int i = 0; i < (*src)->tag_count(); ++i) {
    CdxTag* from = (*src)->tag(i);
    CdxTag* built = (*again)->tag(2 * i);
    ASSERT_EQ(built->def().name, from->def().name);
    EXPECT_EQ(built->def().key_expr, from->def().key_expr);
    EXPECT_EQ(built->def().for_expr, from->def().for_expr);
    EXPECT_EQ(built->def().descending, from->def().descending);
    built->SetKeyType(FixtureType(from->def().name));
    (*again)->tag(2 * i + 1)->SetKeyType(FixtureType(from->def().name));
    auto expected = manifest["tags"][i]["order_all"].get<std::vector<uint32_t>>();
    EXPECT_EQ(testing::Recnos(testing::Walk(built)), expected) << from->def().name;
    EXPECT_EQ(testing::Recnos(testing::Walk((*again)->tag(2 * i + 1))), expected);
  }
}

TEST(CdxWrite, BulkBuildPacksLeavesLikeTheOtherEngine) {
  // Harbour fills every leaf of a fresh index as full as it goes; so do we,
  // so a rebuilt tag has the very same leaf pages (sibling pointers aside).
  testing::TempDir dir;
  auto src = CdxFile::Open(Env::Default(), testing::FixturePath("EMPLE.cdx"), OpenMode::kReadOnly);
  ASSERT_TRUE(src.ok());
  std::string path = dir.File("PACK.cdx");
  auto dst = CdxFile::Create(Env::Default(), path, false);
  ASSERT_TRUE(dst.ok());
  CdxTag* from = (*src)->FindTag("EMPLE");
  auto tag = (*dst)->AddTag(from->def());
  ASSERT_TRUE(tag.ok());
  ASSERT_TRUE((*tag)->Build(StoredEntries(from)).ok());
  ASSERT_TRUE((*dst)->Flush().ok());
  auto leaves = [](const std::string& file, uint32_t root) {
    std::string raw = ReadAll(file);
    auto b = reinterpret_cast<const uint8_t*>(raw.data());
    uint32_t off = root;
    while (!(cdx::GetLE16(b + off) & cdx::kAttrLeaf)) off = cdx::GetBE32(b + off + 12 + 30 + 4);
    std::vector<std::string> out;
    while (off != cdx::kNoPage) {
      std::string p = raw.substr(off, 512);
      out.push_back(p.substr(0, 4) + p.substr(12));
      off = cdx::GetLE32(b + off + 8);
    }
    return out;
  };
  std::string fixture_raw = ReadAll(testing::FixturePath("EMPLE.cdx"));
  uint32_t fixture_root =
      cdx::GetLE32(reinterpret_cast<const uint8_t*>(fixture_raw.data()) + 0x600);
  std::string ours_raw = ReadAll(path);
  // Our single tag's header is the first one after the directory.
  uint32_t our_root = cdx::GetLE32(reinterpret_cast<const uint8_t*>(ours_raw.data()) + 0x600);
  auto a = leaves(testing::FixturePath("EMPLE.cdx"), fixture_root);
  auto b = leaves(path, our_root);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], b[i]) << "leaf " << i;
}

TEST(CdxWrite, NewFileLayoutMatchesTheOtherEngine) {
  // An empty index with one empty tag, byte for byte as VACIA.cdx.
  testing::TempDir dir;
  std::string path = dir.File("VACIA.cdx");
  {
    auto f = CdxFile::Create(Env::Default(), path, false);
    ASSERT_TRUE(f.ok());
    TagDef tdef;
    tdef.name = "vacia";
    tdef.key_expr = "NEGOCIO + CODIGO";
    tdef.key_len = 17;
    ASSERT_TRUE((*f)->AddTag(tdef).ok());
  }
  std::string ours = ReadAll(path);
  std::string theirs = ReadAll(testing::FixturePath("VACIA.cdx"));
  ASSERT_EQ(ours.size(), theirs.size());
  // Only the change counter differs: we count our changes.
  ours.replace(8, 4, theirs.substr(8, 4));
  EXPECT_EQ(testing::ToHex(ours), testing::ToHex(theirs));
}

TEST(CdxWrite, CreateRefusesAnExistingFileUnlessTruncating) {
  testing::TempDir dir;
  std::string path = dir.File("X.cdx");
  ASSERT_TRUE(CdxFile::Create(Env::Default(), path, false).ok());
  auto again = CdxFile::Create(Env::Default(), path, false);
  EXPECT_EQ(again.status().code(), Code::kExists);
  EXPECT_TRUE(CdxFile::Create(Env::Default(), path, true).ok());
}

TEST(CdxWrite, DeleteTagFreesItsPagesForReuse) {
  testing::TempDir dir;
  std::string path = dir.File("D.cdx");
  auto f = CdxFile::Create(Env::Default(), path, false);
  ASSERT_TRUE(f.ok());
  TagDef tdef;
  tdef.name = "A";
  tdef.key_len = 12;
  auto a = (*f)->AddTag(tdef);
  ASSERT_TRUE(a.ok());
  Entries e;
  for (uint32_t r = 1; r <= 3000; ++r) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "K%08u   ", r * 7 % 3001);
    e.emplace_back(buf, r);
  }
  std::sort(e.begin(), e.end());
  ASSERT_TRUE((*a)->Build(e).ok());
  uint64_t size_before = std::filesystem::file_size(path);
  ASSERT_TRUE((*f)->DeleteTag("a").ok());
  EXPECT_EQ((*f)->tag_count(), 0);
  EXPECT_EQ((*f)->FindTag("A"), nullptr);
  tdef.name = "B";
  auto b = (*f)->AddTag(tdef);
  ASSERT_TRUE(b.ok());
  ASSERT_TRUE((*b)->Build(e).ok());
  // B's tree reuses A's pages; only its header is new.
  EXPECT_EQ(std::filesystem::file_size(path), size_before + 1024);
  EXPECT_EQ(testing::Walk(*b), e);
  auto re = CdxFile::Open(Env::Default(), path, OpenMode::kReadOnly);
  ASSERT_TRUE(re.ok());
  ASSERT_EQ((*re)->tag_count(), 1);
  EXPECT_EQ(testing::Walk((*re)->tag(0)), e);
}

TEST(CdxWrite, ManyTagsGrowTheDirectoryBeyondOnePage) {
  testing::TempDir dir;
  std::string path = dir.File("MANY.cdx");
  {
    auto f = CdxFile::Create(Env::Default(), path, false);
    ASSERT_TRUE(f.ok());
    for (int i = 0; i < 120; ++i) {
      TagDef s;
      s.name = "TAG" + std::to_string(i);
      s.key_expr = "FIELD" + std::to_string(i);
      s.key_len = 4;
      auto t = (*f)->AddTag(s);
      ASSERT_TRUE(t.ok()) << t.status().ToString();
      ASSERT_TRUE((*t)->Insert("K" + std::to_string(i % 10), static_cast<uint32_t>(i + 1)).ok());
    }
    ASSERT_TRUE((*f)->DeleteTag("TAG7").ok());
  }
  auto f = CdxFile::Open(Env::Default(), path, OpenMode::kReadOnly);
  ASSERT_TRUE(f.ok()) << f.status().ToString();
  ASSERT_EQ((*f)->tag_count(), 119);
  EXPECT_EQ((*f)->FindTag("TAG7"), nullptr);
  for (int i = 0; i < 120; ++i) {
    if (i == 7) continue;
    CdxTag* t = (*f)->FindTag("tag" + std::to_string(i));
    ASSERT_NE(t, nullptr) << i;
    EXPECT_EQ(t->def().key_expr, "FIELD" + std::to_string(i));
    Entries e = testing::Walk(t);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].second, static_cast<uint32_t>(i + 1));
  }
  EXPECT_EQ((*f)->tag(0)->def().name, "TAG0") << "creation order";
}

TEST(CdxWrite, BuildRefusesUnsortedEntriesAndUniqueKeepsTheFirst) {
  testing::TempDir dir;
  auto f = CdxFile::Create(Env::Default(), dir.File("U.cdx"), false);
  ASSERT_TRUE(f.ok());
  TagDef s;
  s.name = "U";
  s.key_len = 3;
  s.unique = true;
  auto t = (*f)->AddTag(s);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ((*t)->Build({{"B  ", 1}, {"A  ", 2}}).code(), Code::kInvalidArgument);
  ASSERT_TRUE((*t)->Build({{"A  ", 1}, {"A  ", 2}, {"B  ", 3}}).ok());
  EXPECT_EQ(testing::Walk(*t), (Entries{{"A  ", 1}, {"B  ", 3}}));
  ASSERT_TRUE((*t)->Insert("B", 4).ok());
  ASSERT_TRUE((*t)->Insert("C", 5).ok());
  EXPECT_EQ(testing::Walk(*t), (Entries{{"A  ", 1}, {"B  ", 3}, {"C  ", 5}}));
  EXPECT_EQ((*t)->Insert("ABCD", 6).code(), Code::kInvalidArgument);
}

}  // namespace
}  // namespace xb
