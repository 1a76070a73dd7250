// Installation data is checked as it is written: a text longer than its
// field, a field the table lacks or a number too wide is reported with the
// table and field named, never cut or dropped silently.
#include "lib/install/rows.h"

#include <gtest/gtest.h>

#include "install_test_util.h"
#include "lib/install/demo/demo.h"
#include "lib/install/table_maker.h"

namespace {

TEST(Rows, WriteTextsInTheTablesCodePageAndReportWhatDoesNotFit) {
  qztest::TempDir tmp;
  const qz::CatalogTable* t = qztest::TheCatalog().Find("MONEDAS");
  ASSERT_NE(t, nullptr);
  auto table = qz::MakeTable(*t, tmp.path());
  ASSERT_TRUE(table.ok());
  xb::Table& m = **table;
  ASSERT_TRUE(qz::Row(m).Set("NEGOCIO", "X").Set("CODIGO", "CR").Set("SIMBOLO", "¢").Done().ok());
  EXPECT_EQ(m.Get("SIMBOLO")->str(), "\xA2 ");  // Windows-1252, padded

  xb::Status s = qz::Row(m).Set("CODIGO", "CRC").Done();
  EXPECT_NE(s.message().find("\"CRC\" is longer than CODIGO (2)"), std::string::npos)
      << s.message();
  s = qz::Row(m).Set("NO_SUCH", 1).Done();
  EXPECT_NE(s.message().find("no field NO_SUCH"), std::string::npos) << s.message();
  s = qz::Row(m).Set("NEGATIVO", 12).Done();  // N(1)
  EXPECT_FALSE(s.ok());
  EXPECT_NE(s.message().find("NEGATIVO"), std::string::npos) << s.message();
  // The first error wins; later fields do not hide it.
  s = qz::Row(m).Set("CODIGO", "CRC").Set("DESCRIP", "fine").Done();
  EXPECT_NE(s.message().find("CODIGO"), std::string::npos);
  ASSERT_TRUE(m.Close().ok());
}

TEST(Rows, DaysCarryTheCalendar) {
  qz::Day d = qz::Day::Ymd(2024, 2, 28);
  EXPECT_EQ(d.Plus(1).day(), 29);  // leap year
  EXPECT_EQ(d.Plus(2).month(), 3);
  EXPECT_EQ(qz::Day{}.Plus(5).jd, 0);  // an empty date stays empty
}

TEST(DemoOptions, ImpossibleRequestsAreRefusedBeforeAnythingIsMade) {
  qztest::TempDir tmp;
  qz::InstallOptions o;
  o.demo = true;
  o.demo_options.month = 2;
  o.demo_options.day = 30;
  auto r = qz::CreateInstallation(tmp.path() + "/a", o);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.status().message().find("not a calendar date"), std::string::npos);
  o.demo_options.day = 28;
  o.demo_options.employees = 3;
  r = qz::CreateInstallation(tmp.path() + "/b", o);
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.status().message().find("employees"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
}

}  // namespace
