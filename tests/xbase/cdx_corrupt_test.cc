// Broken pages give Corrupt naming the file, the tag and the page: never a
// crash, never an endless walk.
#include <filesystem>
#include <fstream>

#include "cdx_test_util.h"
#include "xbase/cdx_format.h"

namespace xb {
namespace {

class CdxCorrupt : public ::testing::Test {
 protected:
  // Copies a fixture, lets `edit` change its bytes, writes it back.
  std::string Broken(const std::string& fixture, const std::function<void(std::string&)>& edit) {
    std::ifstream in(testing::FixturePath(fixture), std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), {});
    edit(raw);
    std::string path = dir_.File("B_" + fixture);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(raw.data(), raw.size());
    return path;
  }

  // The first failure while walking `tag` both ways and seeking in it.
  static Status Exercise(CdxFile* f, const std::string& tag) {
    CdxTag* t = f->FindTag(tag);
    if (!t) return Status::NotFound("no tag " + tag);
    auto c = t->NewCursor();
    for (bool back : {false, true}) {
      Status s = back ? c->Last() : c->First();
      for (int steps = 0; s.ok() && c->Valid(); ++steps) {
        if (steps > 1000000) return Status::InvalidArgument("endless walk");
        s = back ? c->Prev() : c->Next();
      }
      if (!s.ok()) return s;
    }
    bool found;
    XB_RETURN_IF_ERROR(c->Seek("HOTEL", true, false, &found));
    return t->Insert(std::string(static_cast<size_t>(t->def().key_len), 'Z'), 99999);
  }

  void ExpectCorrupt(const std::string& path, const std::string& tag, const std::string& page) {
    auto f = CdxFile::Open(Env::Default(), path, OpenMode::kReadWrite);
    Status s = f.ok() ? Exercise(f->get(), tag) : f.status();
    EXPECT_EQ(s.code(), Code::kCorrupt) << s.ToString();
    EXPECT_NE(s.message().find(path), std::string::npos) << s.message();
    EXPECT_NE(s.message().find("tag " + tag), std::string::npos) << s.message();
    EXPECT_NE(s.message().find("page " + page), std::string::npos) << s.message();
  }

  static uint8_t* At(std::string& raw, size_t off) { return reinterpret_cast<uint8_t*>(&raw[off]); }

  testing::TempDir dir_;
};

// PUESTOS.cdx: tag PUESTOS has its header at 0x600 and a single root leaf at 0xA00.
TEST_F(CdxCorrupt, BadNodeAttribute) {
  ExpectCorrupt(Broken("PUESTOS.cdx", [](std::string& r) { r[0xA00] = 7; }), "PUESTOS", "0xA00");
}

TEST_F(CdxCorrupt, KeyCountTooLargeForThePage) {
  ExpectCorrupt(Broken("PUESTOS.cdx", [&](std::string& r) { cdx::PutLE16(At(r, 0xA02), 400); }),
                "PUESTOS", "0xA00");
}

TEST_F(CdxCorrupt, BitWidthsThatDoNotFit) {
  ExpectCorrupt(Broken("PUESTOS.cdx", [](std::string& r) { r[0xA00 + 20] = 30; }), "PUESTOS",
                "0xA00");
}

TEST_F(CdxCorrupt, KeyBytesOverlappingTheEntries) {
  // Every entry claims no duplicate and no trailing bytes: 6 x 19 key bytes
  // still fit, so make the keys longer than the page by lying about the count.
  ExpectCorrupt(Broken("PUESTOS.cdx",
                       [&](std::string& r) {
                         cdx::PutLE16(At(r, 0xA02), 150);
                         for (int i = 0; i < 150 * 3; ++i) r[0xA00 + 24 + i] = 0x01;
                       }),
                "PUESTOS", "0xA00");
}

TEST_F(CdxCorrupt, PointerOutsideTheFile) {
  // EMPLE10's root is an interior node at 0x19CC00; send its first child far away.
  ExpectCorrupt(
      Broken("EMPLE.cdx",
             [&](std::string& r) { cdx::PutBE32(At(r, 0x19CC00 + 12 + 30 + 4), 0x7FFFFE00); }),
      "EMPLE10", "0x7FFFFE00");
}

TEST_F(CdxCorrupt, ChildPointingBackToTheRoot) {
  ExpectCorrupt(
      Broken("EMPLE.cdx",
             [&](std::string& r) { cdx::PutBE32(At(r, 0x19CC00 + 12 + 30 + 4), 0x19CC00); }),
      "EMPLE10", "0x");
}

TEST_F(CdxCorrupt, LoopInTheSiblingChain) {
  // The second leaf of EMPLE10 points right back to the first one.
  ExpectCorrupt(Broken("EMPLE.cdx",
                       [&](std::string& r) {
                         uint32_t first = 0x184400;
                         uint32_t second = cdx::GetLE32(At(r, first + 8));
                         cdx::PutLE32(At(r, second + 8), first);
                       }),
                "EMPLE10", "0x184400");
}

TEST_F(CdxCorrupt, TruncatedFile) {
  // Cut just after EMPLE11's header: its root page is gone.
  ExpectCorrupt(Broken("EMPLE.cdx", [](std::string& r) { r.resize(0x19D200); }), "EMPLE11",
                "0x1A1C00");
}

TEST_F(CdxCorrupt, BrokenHeadersFailToOpen) {
  for (auto edit : std::vector<std::function<void(std::string&)>>{
           [](std::string& r) { r.resize(700); },
           // the directory's root pointer outside the file
           [&](std::string& r) { cdx::PutLE32(At(r, 0), 0x10000000); },
           // a directory entry pointing to the middle of a page
           [&](std::string& r) { r[0x418] = 0x10; },
       }) {
    std::string path = Broken("PUESTOS.cdx", edit);
    auto f = CdxFile::Open(Env::Default(), path, OpenMode::kReadOnly);
    ASSERT_FALSE(f.ok());
    EXPECT_EQ(f.status().code(), Code::kCorrupt) << f.status().ToString();
    EXPECT_NE(f.status().message().find(path), std::string::npos);
  }
}

TEST_F(CdxCorrupt, BadKeyLengthInATagHeader) {
  std::string path =
      Broken("PUESTOS.cdx", [&](std::string& r) { cdx::PutLE16(At(r, 0x600 + 12), 0); });
  auto f = CdxFile::Open(Env::Default(), path, OpenMode::kReadOnly);
  ASSERT_FALSE(f.ok());
  EXPECT_EQ(f.status().code(), Code::kCorrupt);
  EXPECT_NE(f.status().message().find("tag PUESTOS"), std::string::npos) << f.status().ToString();
}

TEST_F(CdxCorrupt, ASplitStoppedByABrokenSiblingWritesNoOverfullPage) {
  // Three levels of 28-byte keys that do not compress: an interior page holds
  // 13 entries. The root's pointer to the next-to-last interior page is
  // broken, so when the last one overflows it cannot hand an entry to it.
  std::string path = dir_.File("S.cdx");
  auto key = [](int i) {
    char b[32];
    std::snprintf(b, sizeof b, "%06d", i);
    std::string k = b;
    for (int j = 0; k.size() < 28; ++j) k.push_back(static_cast<char>('a' + (i * 7 + j * 13) % 26));
    return k;
  };
  {
    auto f = CdxFile::Create(Env::Default(), path, false);
    ASSERT_TRUE(f.ok()) << f.status().ToString();
    TagDef tdef;
    tdef.name = "S";
    tdef.key_len = 28;
    auto t = (*f)->AddTag(tdef);
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    std::vector<std::pair<std::string, uint32_t>> entries;
    for (int i = 0; i < 1000; ++i) entries.emplace_back(key(i), static_cast<uint32_t>(i + 1));
    ASSERT_TRUE((*t)->Build(entries).ok());
    ASSERT_TRUE((*f)->Flush().ok());
  }
  std::string raw;
  {
    std::ifstream in(path, std::ios::binary);
    raw.assign((std::istreambuf_iterator<char>(in)), {});
  }
  size_t root = 0;
  for (size_t off = cdx::kHeaderSize; off + cdx::kPageSize <= raw.size(); off += cdx::kPageSize)
    if (cdx::GetLE16(At(raw, off)) == cdx::kAttrRoot) root = off;
  ASSERT_NE(root, 0u);
  int kids = cdx::GetLE16(At(raw, root + 2));
  ASSERT_GE(kids, 2);
  cdx::PutBE32(At(raw, root + 12 + (kids - 2) * 36 + 32), 0x7FFFFE00);
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(raw.data(), raw.size());

  auto f = CdxFile::Open(Env::Default(), path, OpenMode::kReadWrite);
  ASSERT_TRUE(f.ok()) << f.status().ToString();
  CdxTag* t = (*f)->FindTag("S");
  ASSERT_NE(t, nullptr);
  Status s;
  for (int i = 1000; i < 1400 && s.ok(); ++i) s = t->Insert(key(i), static_cast<uint32_t>(i + 1));
  EXPECT_EQ(s.code(), Code::kCorrupt) << s.ToString();
  // Whatever was written, the pages on disk still decode.
  f->reset();
  auto again = CdxFile::Open(Env::Default(), path, OpenMode::kReadOnly);
  ASSERT_TRUE(again.ok()) << again.status().ToString();
  auto c = (*again)->FindTag("S")->NewCursor();
  Status w = c->Last();
  for (int i = 0; w.ok() && c->Valid() && i < 100; ++i) w = c->Prev();
  EXPECT_TRUE(w.ok()) << w.ToString();
}

}  // namespace
}  // namespace xb
