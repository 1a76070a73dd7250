// Opening tables by name: where a name leads, aliases and areas, temporary
// copies, and what a missing file gives.
#include "lib/data/use.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "support/fake_clock.h"
#include "support/installation.h"
#include "support/scripted_boxes.h"

namespace qz {
namespace {

namespace fs = std::filesystem;
using qztest::F;

int CountFiles(const std::string& dir) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(dir)) n += e.is_regular_file();
  return n;
}

TEST(Use, LongNamesAreCutToEightCharactersAndGetAreaAliases) {
  qztest::Installation inst;
  qztest::MakeTable(inst.root + "BASES/MOVIMIEN", {F("CODIGO", 'C', 10)});
  inst.Start();
  TablePtr t = USE(nullptr, "  MOVIMIENTOS ");
  EXPECT_EQ(t->table().path(), inst.root + "BASES/MOVIMIEN.DBF");
  EXPECT_EQ(t->Name, "MOVIMIEN");
  EXPECT_EQ(t->Alias, "MOVIMIE001");
  TablePtr art = USE(nullptr, "ARTICULO", "ARTICULO");
  EXPECT_EQ(art->Alias, "ARTICUL002");
  EXPECT_EQ(art->table().Order(), "ARTICULO");
  EXPECT_EQ(Areas().Selected(), 2);
  EXPECT_EQ(AliasFor("F_SYS", 3), "F_SYS00003");
  EXPECT_EQ(AliasFor("USUARIOS", 12), "USUARIO012");
  ASSERT_EQ(G().XFILES_AREA.size(), 2u);
  KILLTABLA(t);
  EXPECT_EQ(t, nullptr);
  ASSERT_EQ(G().XFILES_AREA.size(), 1u);
  EXPECT_EQ(G().XFILES_AREA[0].second, "ARTICULO");
  // The freed area is the next one given out.
  TablePtr again = USE(nullptr, "MOVIMIEN");
  EXPECT_EQ(again->Area, 1);
}

TEST(Use, BusinessSubFolderHoldsOnlyTheTablesThatDiffer) {
  qztest::Installation inst;
  fs::create_directories(inst.root + "BASES/SB01");
  qztest::MakeTable(inst.root + "BASES/SB01/ENC_PERS", {F("CODIGO", 'C', 10)});
  qztest::MakeTable(inst.root + "BASES/ENC_PERS", {F("CODIGO", 'C', 10)});
  inst.Start();
  G().XDBACCESS = {"SB01", "01", ""};
  EXPECT_EQ(USE(nullptr, "ENC_PERS")->table().path(), inst.root + "BASES/SB01/ENC_PERS.DBF");
  EXPECT_EQ(USE(nullptr, "ARTICULO")->table().path(), inst.root + "BASES/ARTICULO.DBF");
  G().XDBACCESS = {"", "  ", ""};
  EXPECT_EQ(USE(nullptr, "ENC_PERS")->table().path(), inst.root + "BASES/ENC_PERS.DBF");
}

TEST(Use, TemporaryCopyOfATemplateIsPrivateAndRemovedOnClose) {
  qztest::FakeClock clock;
  clock.SetNow({2026, 3, 4, 10, 11, 12, 340});  // 3,667,234 hundredths since midnight
  qztest::Installation inst;
  qztest::MakeTable(inst.root + "PROFILE/TMP_TXTS", {F("CODIGO", 'C', 10), F("NOTA", 'M', 10)},
                    {{"TMP_TXTS", "CODIGO"}});
  inst.Start();
  TablePtr a = USE(nullptr, "TMP_TXTS.DBF", "TMP_TXTS");
  TablePtr b = USE(nullptr, "tmp_txts.dbf");
  EXPECT_EQ(a->Name, "T3667234.PCFG");
  EXPECT_EQ(a->Cargo, "BORRAR->" + inst.root + "TEMP/T3667234.CDX");
  EXPECT_EQ(b->Name, "T3667235.PCFG");  // the same hundredth: the next free name
  EXPECT_TRUE(a->table().exclusive());
  EXPECT_TRUE(inst.Exists("TEMP/T3667234.FPT"));
  ADD_NEW_REC(*a);
  a->FieldPut("CODIGO", xb::Value::Char("B"));
  UNLOCK_NEW_REC(*a);
  ADD_NEW_REC(*a);
  a->FieldPut("CODIGO", xb::Value::Char("A"));
  UNLOCK_NEW_REC(*a);
  a->GoTop();
  EXPECT_EQ(a->FieldGet("CODIGO").str().substr(0, 1), "A");  // its own copy of the index
  // Two copies: table, memo, index; and the index's rollback journal of the
  // copy written to (removed when that copy closes).
  EXPECT_EQ(CountFiles(inst.root + "TEMP"), 7);
  KILLTABLA(a);
  KILLTABLA(b);
  EXPECT_EQ(CountFiles(inst.root + "TEMP"), 0);
  // The template is untouched.
  auto tmpl = xb::Table::Open(inst.root + "PROFILE/TMP_TXTS.DBF");
  EXPECT_EQ(*(*tmpl)->RecCount(), 0u);
}

TEST(Use, MissingTableOrTemplateIsAFaultNamingTheFile) {
  qztest::Installation inst;
  inst.Start();
  try {
    USE(nullptr, "NOEXISTE");
    FAIL();
  } catch (const Fault& f) {
    EXPECT_EQ(f.info().gen_code, kGenOpen);
    EXPECT_EQ(f.info().os_code, kOsNotFound);
    EXPECT_NE(f.info().description.find("NOEXISTE"), std::string::npos);
  }
  EXPECT_THROW(USE(nullptr, "NOHAY.DBF"), Fault);
  EXPECT_EQ(CountFiles(inst.root + "TEMP"), 0);
  EXPECT_TRUE(Areas().All().empty());
}

TEST(Use, TableHeldExclusivelyElsewhereIsWaitedForWithMessages) {
  qztest::FakeClock clock;
  qztest::ScriptedBoxes boxes;
  qztest::Installation inst;
  inst.Start();
  xb::OpenOptions ex;
  ex.exclusive = true;
  auto other = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF", ex);
  ASSERT_TRUE(other.ok());
  int64_t start = clock.TickMs();
  boxes.on_show = [&](const qztest::ShownBox&) {
    if (boxes.shown.size() == 3) (*other)->Close();
  };
  TablePtr t = USE(nullptr, "ARTICULO");
  EXPECT_TRUE(t->Used());
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[0].text, "No se puede abrir archivo: " + inst.root + "BASES/ARTICULO");
  EXPECT_EQ(boxes.shown[0].title, "Alerta");
  EXPECT_GE(clock.TickMs() - start, 5000);
  EXPECT_GT(G().XRETRIES[0], 50);
}

TEST(Use, FileBagKeepsTablesOpenInsideATransactionOnly) {
  qztest::Installation inst;
  inst.WriteFile("ADS.DEF", qztest::Installation::ServerAdsDef(inst.root, "1", "1"));
  ASSERT_EQ(inst.Start(), StartResult::kContinue);
  START_TRANSACTION();
  TablePtr t = USE(nullptr, "ARTICULO");
  int area = t->Area;
  KILLTABLA(t);
  ASSERT_EQ(G().XADSFILEBAG.size(), 1u);
  EXPECT_NE(Areas().TableOf(area), nullptr);
  TablePtr again = USE(nullptr, "ARTICULO");
  EXPECT_EQ(again->Area, area);
  EXPECT_TRUE(G().XADSFILEBAG.empty());
  KILLTABLA(again);
  END_TRANSACTION();
  EXPECT_TRUE(G().XADSFILEBAG.empty());
  EXPECT_EQ(Areas().TableOf(area), nullptr);
}

}  // namespace
}  // namespace qz
