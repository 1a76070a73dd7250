// Edge cases of the table layer: skipping from a record that has no entry in
// the controlling tag or lies outside the scope, tags added to an index that
// was left closed, and foreign or damaged files whose sizes the writers must
// not trust.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

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

// Six records with codes "1".."6"; the odd ones are active.
std::unique_ptr<Table> MakeCodes(const qztest::TempDir& dir) {
  CreateOptions co;
  co.exclusive = true;
  auto t = Table::Create(dir.file("CODES"),
                         {{"CODIGO", 'C', 4, 0, 0, 0}, {"ACTIVO", 'L', 1, 0, 0, 0}}, co);
  EXPECT_TRUE(t.ok()) << t.status().ToString();
  for (int i = 1; i <= 6; ++i) {
    EXPECT_TRUE((*t)->Append().ok());
    EXPECT_TRUE((*t)->Put("CODIGO", Value::Char(std::to_string(i))).ok());
    EXPECT_TRUE((*t)->Put("ACTIVO", Value::Logical(i % 2 == 1)).ok());
  }
  EXPECT_TRUE((*t)->WriteBack().ok());
  return std::move(*t);
}

// Where Skip(n) from record `from` lands: its record number, or 0 at EOF.
uint32_t SkipFrom(Table* t, uint32_t from, int n) {
  EXPECT_TRUE(t->GoTo(from).ok());
  EXPECT_TRUE(t->Skip(n).ok());
  return t->Eof() ? 0 : t->RecNo();
}

TEST(TableNavigation, SkipFromARecordOutsideAForTagStartsAtItsKey) {
  qztest::TempDir dir;
  auto t = MakeCodes(dir);
  ASSERT_TRUE(t->CreateTag("ACT", "CODIGO", "ACTIVO").ok());
  ASSERT_TRUE(t->CreateTag("ACTD", "CODIGO", "ACTIVO", true).ok());

  ASSERT_TRUE(t->SetOrder("ACT").ok());
  // The cursor was left elsewhere on purpose: skipping must not start there.
  ASSERT_TRUE(t->GoTop().ok());
  EXPECT_EQ(SkipFrom(t.get(), 4, 1), 5u);
  ASSERT_TRUE(t->GoTop().ok());
  EXPECT_EQ(SkipFrom(t.get(), 4, -1), 3u);
  EXPECT_EQ(SkipFrom(t.get(), 2, 2), 5u);
  EXPECT_EQ(SkipFrom(t.get(), 6, 1), 0u);
  EXPECT_EQ(SkipFrom(t.get(), 6, -1), 5u);
  EXPECT_EQ(SkipFrom(t.get(), 6, -3), 1u);
  EXPECT_FALSE(t->Bof());
  ASSERT_TRUE(t->GoTo(2).ok());
  ASSERT_TRUE(t->Skip(-1).ok());
  EXPECT_EQ(t->RecNo(), 1u);
  ASSERT_TRUE(t->Skip(-1).ok());
  EXPECT_TRUE(t->Bof());

  // Descending: 5, 3, 1.
  ASSERT_TRUE(t->SetOrder("ACTD").ok());
  ASSERT_TRUE(t->GoBottom().ok());
  EXPECT_EQ(SkipFrom(t.get(), 4, 1), 3u);
  ASSERT_TRUE(t->GoBottom().ok());
  EXPECT_EQ(SkipFrom(t.get(), 4, -1), 5u);
  EXPECT_EQ(SkipFrom(t.get(), 6, 1), 5u);
  EXPECT_EQ(SkipFrom(t.get(), 2, 1), 1u);
  EXPECT_EQ(SkipFrom(t.get(), 2, -1), 3u);

  // A current record that leaves the tag by its own change: the skip goes on
  // from where it was.
  ASSERT_TRUE(t->SetOrder("ACT").ok());
  ASSERT_TRUE(t->GoTo(3).ok());
  ASSERT_TRUE(t->Put("ACTIVO", Value::Logical(false)).ok());
  ASSERT_TRUE(t->Skip(1).ok());
  EXPECT_EQ(t->RecNo(), 5u);
  ASSERT_TRUE(t->GoTo(3).ok());
  ASSERT_TRUE(t->Skip(-1).ok());
  EXPECT_EQ(t->RecNo(), 1u);
}

TEST(TableNavigation, SkipFromOutsideTheScopeEntersIt) {
  qztest::TempDir dir;
  auto t = MakeCodes(dir);
  ASSERT_TRUE(t->CreateTag("COD", "CODIGO").ok());
  ASSERT_TRUE(t->CreateTag("CODD", "CODIGO", "", true).ok());

  ASSERT_TRUE(t->SetOrder("COD").ok());
  ASSERT_TRUE(t->SetScope(Value::Char("3"), Value::Char("4")).ok());
  EXPECT_EQ(SkipFrom(t.get(), 1, 1), 3u);
  EXPECT_EQ(SkipFrom(t.get(), 6, -1), 4u);
  EXPECT_EQ(SkipFrom(t.get(), 1, 2), 4u);
  EXPECT_EQ(SkipFrom(t.get(), 6, 1), 0u);
  // Backwards from below the scope there is nothing: BOF.
  ASSERT_TRUE(t->GoTo(1).ok());
  ASSERT_TRUE(t->Skip(-1).ok());
  EXPECT_TRUE(t->Bof());
  // A soft seek below the scope lands on its first key, not at EOF.
  ASSERT_TRUE(t->Seek(Value::Char("1"), true).ok());
  EXPECT_FALSE(t->Found());
  ASSERT_FALSE(t->Eof());
  EXPECT_EQ(t->RecNo(), 3u);
  // An exact seek of a key outside the scope still fails.
  ASSERT_TRUE(t->Seek(Value::Char("1")).ok());
  EXPECT_TRUE(t->Eof());
  // The last of every key is the last one inside the scope.
  ASSERT_TRUE(t->Seek(Value::Char(""), false, true).ok());
  EXPECT_TRUE(t->Found());
  EXPECT_EQ(t->RecNo(), 4u);

  // Descending: the scope runs from "4" down to "3".
  ASSERT_TRUE(t->SetOrder("CODD").ok());
  ASSERT_TRUE(t->SetScope(Value::Char("4"), Value::Char("3")).ok());
  EXPECT_EQ(SkipFrom(t.get(), 6, 1), 4u);
  EXPECT_EQ(SkipFrom(t.get(), 1, -1), 3u);
  EXPECT_EQ(SkipFrom(t.get(), 1, 1), 0u);
  ASSERT_TRUE(t->GoTop().ok());
  EXPECT_EQ(t->RecNo(), 4u);
  ASSERT_TRUE(t->GoBottom().ok());
  EXPECT_EQ(t->RecNo(), 3u);
}

TEST(TableIndex, ATagCreatedWithoutTheIndexOpenJoinsTheExistingTags) {
  qztest::TempDir dir;
  {
    auto t = MakeCodes(dir);
    ASSERT_TRUE(t->CreateTag("COD", "CODIGO").ok());
    ASSERT_TRUE(t->Close().ok());
  }
  {
    OpenOptions oo;
    oo.exclusive = true;
    oo.open_index = false;
    auto t = Table::Open(dir.file("CODES"), oo);
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    ASSERT_TRUE((*t)->CreateTag("ACT", "CODIGO", "ACTIVO").ok());
    ASSERT_TRUE((*t)->Close().ok());
  }
  auto t = Table::Open(dir.file("CODES"));
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  std::vector<std::string> names;
  for (const auto& info : (*t)->Tags()) names.push_back(info.name);
  EXPECT_EQ(names, (std::vector<std::string>{"COD", "ACT"}));
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST(TableForeignFiles, WideNumericFieldsAreWrittenWhole) {
  // Other engines accept N fields wider than we create; build one by
  // relabelling a character field.
  qztest::TempDir dir;
  {
    auto t = Table::Create(dir.file("WIDE"), {{"N", 'C', 120, 0, 0, 0}});
    ASSERT_TRUE(t.ok()) << t.status().ToString();
  }
  std::string dbf = Slurp(dir.file("WIDE.DBF"));
  dbf[32 + 11] = 'N';
  dbf[32 + 17] = 2;
  Spit(dir.file("WIDE.DBF"), dbf);
  auto t = Table::Open(dir.file("WIDE.DBF"));
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_TRUE((*t)->Append().ok());
  ASSERT_TRUE((*t)->Put("N", Value::Number(-1234.5)).ok());
  auto n = (*t)->Get("N");
  ASSERT_TRUE(n.ok()) << n.status().ToString();
  EXPECT_EQ(n->number(), -1234.5);
  std::string raw = (*t)->RecordBytes().substr(1);
  EXPECT_EQ(raw, std::string(112, ' ') + "-1234.50");
}

TEST(TableForeignFiles, AMemoWhoseLengthRunsPastTheFileIsNotRewrittenInPlace) {
  qztest::TempDir dir;
  uint32_t first_block = 0;
  {
    CreateOptions co;
    co.exclusive = true;
    auto t = Table::Create(dir.file("NOTES"), {{"NOTAS", 'M', 10, 0, 0, 0}}, co);
    ASSERT_TRUE(t.ok()) << t.status().ToString();
    ASSERT_TRUE((*t)->Append().ok());
    ASSERT_TRUE((*t)->Put("NOTAS", Value::Char("first")).ok());
    first_block = static_cast<uint32_t>(std::stoul((*t)->RecordBytes().substr(1, 10)));
    ASSERT_TRUE((*t)->Append().ok());
    ASSERT_TRUE((*t)->Put("NOTAS", Value::Char("second, right after the first")).ok());
    ASSERT_TRUE((*t)->Close().ok());
  }
  // The first memo's length now claims far more than the file holds.
  std::string fpt = Slurp(dir.file("NOTES.FPT"));
  size_t len_at = static_cast<size_t>(first_block) * 64 + 4;
  ASSERT_LT(len_at + 4, fpt.size());
  fpt[len_at] = 0x00;
  fpt[len_at + 1] = 0x10;
  fpt[len_at + 2] = 0x00;
  fpt[len_at + 3] = 0x00;
  Spit(dir.file("NOTES.FPT"), fpt);

  OpenOptions oo;
  oo.exclusive = true;
  auto t = Table::Open(dir.file("NOTES"), oo);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_TRUE((*t)->GoTo(1).ok());
  EXPECT_FALSE((*t)->Get("NOTAS").ok());
  std::string text(300, 'z');
  ASSERT_TRUE((*t)->Put("NOTAS", Value::Char(text)).ok());
  auto first = (*t)->Get("NOTAS");
  ASSERT_TRUE(first.ok()) << first.status().ToString();
  EXPECT_EQ(first->str(), text);
  ASSERT_TRUE((*t)->GoTo(2).ok());
  auto second = (*t)->Get("NOTAS");
  ASSERT_TRUE(second.ok()) << second.status().ToString();
  EXPECT_EQ(second->str(), "second, right after the first");
}

}  // namespace
}  // namespace xb
