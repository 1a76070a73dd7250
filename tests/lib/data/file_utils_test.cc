// File utilities: table optimisation, template and structure copies, byte
// copies and record copies, as the processes that use them see them.
#include "lib/data/file_utils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "lib/data/use.h"
#include "lib/errors/fault.h"
#include "support/installation.h"

namespace qz {
namespace {

namespace fs = std::filesystem;
using qztest::F;

TEST(FileUtils, SavePackDropsDeletedRowsRebuildsTagsAndRefusesATableInUse) {
  qztest::Installation inst;
  for (int i = 0; i < 30; ++i)
    qztest::AddArticulo(inst.root, "HOTEL", "A" + std::to_string(i), "MESA " + std::to_string(i), i);
  {
    auto t = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF");
    ASSERT_TRUE(t.ok());
    for (uint32_t r = 1; r <= 30; r += 3) {
      ASSERT_TRUE((*t)->GoTo(r).ok());
      ASSERT_TRUE((*t)->LockRecord().ok());
      ASSERT_TRUE((*t)->Delete().ok());
    }
  }
  inst.Start();
  std::vector<std::string> shown;
  SAVE_PACK(nullptr, "ARTICULO", [&](const std::string& n) { shown.push_back(n); });
  EXPECT_EQ(shown, std::vector<std::string>{"ARTICULO"});
  auto t = xb::Table::Open(inst.root + "BASES/ARTICULO.DBF");
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(*(*t)->RecCount(), 20u);
  std::vector<std::string> problems;
  ASSERT_TRUE((*t)->Check(&problems).ok());
  EXPECT_TRUE(problems.empty()) << problems.front();
  // Someone still has it open: the optimisation is a fault, not a wait.
  EXPECT_THROW(SAVE_PACK(nullptr, "ARTICULO"), Fault);
  EXPECT_EQ(*(*t)->RecCount(), 20u);
}

TEST(FileUtils, DupFileCopiesTheTemplateWithItsIndex) {
  qztest::Installation inst;
  qztest::MakeTable(inst.root + "PROFILE/TMP_AVS", {F("CODIGO", 'C', 10), F("MONTO", 'N', 12, 2)},
                    {{"TMP_AVS", "CODIGO"}});
  inst.Start();
  DUP_FILE(nullptr, "TMP_AVS", "NUEVA", inst.root + "TEMP");
  auto t = xb::Table::Open(inst.root + "TEMP/NUEVA.DBF");
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  ASSERT_EQ((*t)->fields().size(), 2u);
  EXPECT_EQ((*t)->fields()[1].dec, 2);
  ASSERT_EQ((*t)->Tags().size(), 1u);
  EXPECT_EQ((*t)->Tags()[0].key, "CODIGO");
  EXPECT_THROW(DUP_FILE(nullptr, "NO_EXISTE", "X", inst.root + "TEMP"), Fault);
}

TEST(FileUtils, CopyStrucMakesAnEmptyTableOfTheSameShape) {
  qztest::Installation inst;
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "SILLA", 3);
  inst.Start();
  TablePtr art = USE(nullptr, "ARTICULO");
  COPY_STRUC(nullptr, *art, "ART_COPY", "TEMP");
  auto t = xb::Table::Open(inst.root + "TEMP/ART_COPY.DBF");
  ASSERT_TRUE(t.ok()) << t.status().ToString();
  EXPECT_EQ(*(*t)->RecCount(), 0u);
  ASSERT_EQ((*t)->fields().size(), art->table().fields().size());
  for (size_t i = 0; i < art->table().fields().size(); ++i)
    EXPECT_EQ((*t)->fields()[i].name, art->table().fields()[i].name);
  KILLTABLA(art);
}

TEST(FileUtils, CopyBfileCopiesExactlyAndReportsWhatWentWrong) {
  qztest::Installation inst;
  std::string src = inst.root + "src.bin", dst = inst.root + "dst.bin";
  std::string bytes;
  for (int i = 0; i < 1234; ++i) bytes.push_back(static_cast<char>(i * 7));
  inst.WriteFile("src.bin", bytes);
  EXPECT_EQ(COPY_BFILE(src, dst), kCopyOk);
  std::ifstream in(dst, std::ios::binary);
  std::string copy((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(copy, bytes);
  EXPECT_EQ(COPY_BFILE(inst.root + "nope.bin", dst), kCopySourceNotOpened);
  EXPECT_EQ(COPY_BFILE(src, inst.root + "no/such/folder/x.bin"), kCopyTargetNotCreated);
  // Nothing half-written is left behind under the real name.
  EXPECT_FALSE(fs::exists(inst.root + "no/such/folder/x.bin"));
}

TEST(FileUtils, CopyRecMovesEveryFieldBetweenRecords) {
  qztest::Installation inst;
  qztest::AddArticulo(inst.root, "HOTEL", "A1", "SILLA", 3.5);
  qztest::AddArticulo(inst.root, "HOTEL", "A2", "MESA", 9);
  inst.Start();
  TablePtr art = USE(nullptr, "ARTICULO");
  std::vector<xb::Value> values;
  art->GoTo(1);
  COPY_REC1(*art, &values);
  ASSERT_EQ(values.size(), 4u);
  art->GoTo(2);
  ASSERT_TRUE(art->table().LockRecord().ok());
  COPY_REC2(*art, values);
  ASSERT_TRUE(art->table().UnlockAll().ok());
  art->GoTo(2);
  EXPECT_EQ(art->table().Get("CODIGO")->str().substr(0, 2), "A1");
  EXPECT_EQ(art->table().Get("PRECIO")->number(), 3.5);
  KILLTABLA(art);
}

}  // namespace
}  // namespace qz
