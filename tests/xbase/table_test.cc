// Behaviour of a table as a user of the engine sees it: navigation with
// hidden deleted records, typed fields, memos, pack and zap.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "xbase/table.h"

namespace xb {
namespace {

FieldList CatalogFields() {
  return {{"NEGOCIO", 'C', 15, 0, 0, 0}, {"CODIGO", 'C', 4, 0, 0, 0},
          {"MONTO", 'N', 8, 2, 0, 0},    {"FECHA", 'D', 8, 0, 0, 0},
          {"ACTIVO", 'L', 1, 0, 0, 0},   {"NOTAS", 'M', 10, 0, 0, 0}};
}

std::unique_ptr<Table> MakeTable(const qztest::TempDir& dir, int rows, bool exclusive = true) {
  CreateOptions co;
  co.exclusive = exclusive;
  auto t = Table::Create(dir.file("CATALOG"), CatalogFields(), co);
  EXPECT_TRUE(t.ok()) << t.status().ToString();
  for (int i = 1; i <= rows; ++i) {
    EXPECT_TRUE((*t)->Append().ok());
    EXPECT_TRUE((*t)->Put("CODIGO", Value::Char(std::to_string(i))).ok());
    EXPECT_TRUE((*t)->Put("MONTO", Value::Number(i * 1.5)).ok());
  }
  EXPECT_TRUE((*t)->WriteBack().ok());
  return std::move(*t);
}

std::vector<uint32_t> Walk(Table* t) {
  std::vector<uint32_t> out;
  EXPECT_TRUE(t->GoTop().ok());
  while (!t->Eof()) {
    out.push_back(t->RecNo());
    EXPECT_TRUE(t->Skip(1).ok());
  }
  return out;
}

TEST(Table, DeletedRecordsAreHiddenUnlessTheSwitchIsOff) {
  qztest::TempDir dir;
  auto t = MakeTable(dir, 6);
  for (uint32_t r : {1u, 4u, 6u}) {
    ASSERT_TRUE(t->GoTo(r).ok());
    ASSERT_TRUE(t->Delete().ok());
  }
  EXPECT_EQ(Walk(t.get()), (std::vector<uint32_t>{2, 3, 5}));
  // Backwards from the end and past the top: BOF on the first visible record.
  ASSERT_TRUE(t->GoBottom().ok());
  EXPECT_EQ(t->RecNo(), 5u);
  ASSERT_TRUE(t->Skip(-1).ok());
  EXPECT_EQ(t->RecNo(), 3u);
  ASSERT_TRUE(t->Skip(-5).ok());
  EXPECT_TRUE(t->Bof());
  EXPECT_EQ(t->RecNo(), 2u);
  // Skipping back from end of file lands on the last visible record.
  ASSERT_TRUE(t->GoBottom().ok());
  ASSERT_TRUE(t->Skip(1).ok());
  EXPECT_TRUE(t->Eof());
  ASSERT_TRUE(t->Skip(-1).ok());
  EXPECT_EQ(t->RecNo(), 5u);

  SetDeletedHidden(false);
  EXPECT_EQ(Walk(t.get()).size(), 6u);
  SetDeletedHidden(true);

  ASSERT_TRUE(t->GoTo(4).ok());
  EXPECT_TRUE(t->Deleted());
  ASSERT_TRUE(t->Recall().ok());
  EXPECT_EQ(Walk(t.get()), (std::vector<uint32_t>{2, 3, 4, 5}));
}

TEST(Table, EmptyAndAllDeletedTablesAreAtEofAndBof) {
  qztest::TempDir dir;
  auto t = MakeTable(dir, 2);
  for (uint32_t r : {1u, 2u}) {
    ASSERT_TRUE(t->GoTo(r).ok());
    ASSERT_TRUE(t->Delete().ok());
  }
  ASSERT_TRUE(t->GoTop().ok());
  EXPECT_TRUE(t->Eof());
  EXPECT_TRUE(t->Bof());
  ASSERT_TRUE(t->GoBottom().ok());
  EXPECT_TRUE(t->Eof());
  // Fields at end of file read as blanks, as xBase programs expect.
  EXPECT_EQ(t->Get("CODIGO")->str(), "    ");
  EXPECT_EQ(t->Get("MONTO")->number(), 0);
  EXPECT_FALSE(t->Put("CODIGO", Value::Char("X")).ok());
}

TEST(Table, NumbersThatDoNotFitAreRefusedAndTheFieldKeepsItsValue) {
  qztest::TempDir dir;
  auto t = MakeTable(dir, 1);
  ASSERT_TRUE(t->GoTo(1).ok());
  ASSERT_TRUE(t->Put("MONTO", Value::Number(-9999.99)).ok());  // exactly 8 characters
  Status s = t->Put("MONTO", Value::Number(123456.78));
  EXPECT_EQ(s.code(), Code::kInvalidArgument);
  EXPECT_NE(s.message().find("MONTO"), std::string::npos) << s.message();
  EXPECT_EQ(t->Get("MONTO")->number(), -9999.99);
  // Half-way cases round away from zero like xBase does.
  ASSERT_TRUE(t->Put("MONTO", Value::Number(2.675)).ok());
  EXPECT_EQ(t->RecordBytes().substr(20, 8), "    2.68");
  ASSERT_TRUE(t->Put("MONTO", Value::Number(-0.001)).ok());
  EXPECT_EQ(t->RecordBytes().substr(20, 8), "    0.00");
  EXPECT_FALSE(t->Put("MONTO", Value::Char("12")).ok());
  EXPECT_FALSE(t->Put("FECHA", Value::Number(1)).ok());
  EXPECT_EQ(t->Put("NOPE", Value::Number(1)).code(), Code::kNotFound);
}

TEST(Table, EveryFieldTypeRoundTrips) {
  qztest::TempDir dir;
  FieldList f = {{"I4", 'I', 4, 0, 0, 0},  {"I8", 'I', 8, 4, 0, 0}, {"B", 'B', 8, 2, 0, 0},
                 {"Y", 'Y', 8, 4, 0, 0},   {"T", 'T', 8, 0, 0, 0},  {"F", 'F', 12, 3, 0, 0},
                 {"D", 'D', 8, 0, 0, 0},   {"L", 'L', 1, 0, 0, 0},  {"C", 'C', 5, 0, 0, 0}};
  auto t = Table::Create(dir.file("TYPES"), f);
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_TRUE((*t)->Append().ok());
  Timestamp ts{JulianFromYmd(2024, 1, 31), 45296789};
  ASSERT_TRUE((*t)->Put("I4", Value::Integer(-2147483647)).ok());
  ASSERT_TRUE((*t)->Put("I8", Value::Number(-12345.6789)).ok());
  ASSERT_TRUE((*t)->Put("B", Value::Number(1e300)).ok());
  ASSERT_TRUE((*t)->Put("Y", Value::Number(922337203685.4775)).ok());
  ASSERT_TRUE((*t)->Put("T", Value::Stamp(ts)).ok());
  ASSERT_TRUE((*t)->Put("F", Value::Number(-1.0005)).ok());
  ASSERT_TRUE((*t)->Put("D", Value::Date(JulianFromYmd(2000, 2, 29))).ok());
  ASSERT_TRUE((*t)->Put("L", Value::Logical(true)).ok());
  ASSERT_TRUE((*t)->Put("C", Value::Char("abcdefgh")).ok());  // cut to the width
  EXPECT_FALSE((*t)->Put("I4", Value::Integer(1LL << 40)).ok());
  ASSERT_TRUE((*t)->Close().ok());

  auto r = Table::Open(dir.file("types.dbf"));
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  EXPECT_EQ((*r)->Get("I4")->integer(), -2147483647);
  EXPECT_DOUBLE_EQ((*r)->Get("I8")->number(), -12345.6789);
  EXPECT_EQ((*r)->Get("B")->number(), 1e300);
  EXPECT_DOUBLE_EQ((*r)->Get("Y")->number(), 922337203685.4775);
  EXPECT_EQ((*r)->Get("T")->stamp(), ts);
  EXPECT_DOUBLE_EQ((*r)->Get("F")->number(), -1.001);
  EXPECT_EQ(DtosFromJulian((*r)->Get("D")->date()), "20000229");
  EXPECT_TRUE((*r)->Get("L")->logical());
  EXPECT_EQ((*r)->Get("C")->str(), "abcde");
}

TEST(Table, MemosGrowShrinkAndSurvivePack) {
  qztest::TempDir dir;
  auto t = MakeTable(dir, 4);
  std::string big(5000, 'x');
  ASSERT_TRUE(t->GoTo(1).ok());
  ASSERT_TRUE(t->Put("NOTAS", Value::Char("corta")).ok());
  ASSERT_TRUE(t->GoTo(2).ok());
  ASSERT_TRUE(t->Put("NOTAS", Value::Char(big)).ok());
  ASSERT_TRUE(t->GoTo(3).ok());
  ASSERT_TRUE(t->Put("NOTAS", Value::Char("borrada")).ok());
  ASSERT_TRUE(t->Delete().ok());
  ASSERT_TRUE(t->GoTo(1).ok());
  ASSERT_TRUE(t->Put("NOTAS", Value::Char(big + "y")).ok());  // grows: moves to the end
  ASSERT_TRUE(t->GoTo(2).ok());
  ASSERT_TRUE(t->Put("NOTAS", Value::Char("ahora corta")).ok());  // shrinks in place
  ASSERT_TRUE(t->GoTo(1).ok());
  EXPECT_EQ(t->Get("NOTAS")->str(), big + "y");
  ASSERT_TRUE(t->GoTo(2).ok());
  EXPECT_EQ(t->Get("NOTAS")->str(), "ahora corta");

  ASSERT_TRUE(t->Pack().ok());
  EXPECT_EQ(*t->RecCount(), 3u);
  EXPECT_EQ(Walk(t.get()), (std::vector<uint32_t>{1, 2, 3}));
  ASSERT_TRUE(t->GoTo(1).ok());
  EXPECT_EQ(t->Get("NOTAS")->str(), big + "y");
  ASSERT_TRUE(t->GoTo(2).ok());
  EXPECT_EQ(t->Get("NOTAS")->str(), "ahora corta");
  ASSERT_TRUE(t->GoTo(3).ok());
  EXPECT_EQ(t->Get("CODIGO")->str(), "4   ");
  EXPECT_EQ(t->Get("NOTAS")->str(), "");
  ASSERT_TRUE(t->Close().ok());
  // The memo file was rewritten compactly: header + two memos.
  FileInfo info;
  ASSERT_TRUE(Env::Default()->Stat(dir.file("CATALOG.FPT"), &info).ok());
  EXPECT_LT(info.size, 512u + 5100 + 64 + 64);
}

TEST(Table, ZapEmptiesTableAndMemos) {
  qztest::TempDir dir;
  auto t = MakeTable(dir, 5);
  ASSERT_TRUE(t->GoTo(2).ok());
  ASSERT_TRUE(t->Put("NOTAS", Value::Char("algo")).ok());
  ASSERT_TRUE(t->Zap().ok());
  EXPECT_EQ(*t->RecCount(), 0u);
  EXPECT_TRUE(t->Eof());
  ASSERT_TRUE(t->Append().ok());
  ASSERT_TRUE(t->Put("NOTAS", Value::Char("nuevo")).ok());
  ASSERT_TRUE(t->GoTop().ok());
  EXPECT_EQ(t->Get("NOTAS")->str(), "nuevo");
}

TEST(Table, MaintenanceNeedsExclusiveUseAndWritesNeedWriteAccess) {
  qztest::TempDir dir;
  MakeTable(dir, 2, true)->Close();
  auto shared = Table::Open(dir.file("CATALOG.DBF"));
  ASSERT_TRUE(shared.ok());
  EXPECT_FALSE((*shared)->Pack().ok());
  EXPECT_FALSE((*shared)->Zap().ok());
  OpenOptions ro;
  ro.read_only = true;
  auto r = Table::Open(dir.file("CATALOG.DBF"), ro);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ((*r)->Append().code(), Code::kReadOnly);
  EXPECT_EQ((*r)->Put("CODIGO", Value::Char("x")).code(), Code::kReadOnly);
}

TEST(Table, CreateRefusesBadStructuresAndExistingTables) {
  qztest::TempDir dir;
  EXPECT_FALSE(Table::Create(dir.file("A"), {{"TOOLONGNAME1", 'C', 5, 0, 0, 0}}).ok());
  EXPECT_FALSE(Table::Create(dir.file("A"), {{"X", 'C', 0, 0, 0, 0}}).ok());
  EXPECT_FALSE(Table::Create(dir.file("A"), {{"X", 'N', 5, 4, 0, 0}}).ok());
  EXPECT_FALSE(Table::Create(dir.file("A"), {{"X", 'C', 5, 0, 0, 0}, {"x", 'C', 5, 0, 0, 0}}).ok());
  EXPECT_FALSE(Table::Create(dir.file("A"), {{"X", 'Z', 5, 0, 0, 0}}).ok());
  ASSERT_TRUE(Table::Create(dir.file("a"), {{"X", 'C', 5, 0, 0, 0}}).ok());
  EXPECT_TRUE(Env::Default()->Exists(dir.file("A.DBF")));  // names are written upper case
  EXPECT_EQ(Table::Create(dir.file("A"), {{"X", 'C', 5, 0, 0, 0}}).status().code(), Code::kExists);
  CreateOptions over;
  over.overwrite = true;
  EXPECT_TRUE(Table::Create(dir.file("A"), {{"Y", 'C', 5, 0, 0, 0}}, over).ok());
}

}  // namespace
}  // namespace xb
