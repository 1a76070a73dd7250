// Edge cases of the table layer: foreign or damaged files whose sizes the
// writers must not trust.
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

}  // namespace
}  // namespace xb
