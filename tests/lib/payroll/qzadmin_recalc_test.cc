// `qzadmin recalc` on a copy of the demo installation, as an operator would
// run it: each kind commits and says so, a second summary rebuild writes
// nothing, and wrong usage or an unknown kind ends with status 2.
#include <gtest/gtest.h>

#include "support/demo_copy.h"
#include "support/temp_dir.h"
#include "xbase/qzadmin_run.h"

namespace qztest {
namespace {

class QzadminRecalcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = tmp.path() + "/inst";
    xb::Status made = CopyDemoInstallation(root);
    ASSERT_TRUE(made.ok()) << made.ToString();
  }
  CmdResult Recalc(const std::string& args) {
    return Qzadmin("recalc " + root + " --business HOTELSOL " + args);
  }
  TempDir tmp;
  std::string root;
};

TEST_F(QzadminRecalcTest, TheSummaryIsBuiltOnceAndTheHourlyCostsWritten) {
  CmdResult r = Recalc("--kind history");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Fin de Proceso"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(": 0 payrolls"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(", 0 written"), std::string::npos) << r.out;
  r = Recalc("--kind history");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find(", 0 written"), std::string::npos) << r.out;

  r = Recalc("--kind hourly-cost --to 20991231");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.find(", 0 written"), std::string::npos) << r.out;
  EXPECT_EQ(Qzadmin("check " + root).status, 0);
}

TEST_F(QzadminRecalcTest, WrongUsageIsRefusedBeforeAnythingRuns) {
  EXPECT_EQ(Recalc("--kind nonsense").status, 2);
  CmdResult r = Qzadmin("recalc " + root);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("hourly-cost"), std::string::npos) << r.out;
  EXPECT_EQ(Recalc("--kind history --from 2026-01-01").status, 2);
  EXPECT_EQ(Recalc("--kind history --department ADM").status, 2);
  EXPECT_EQ(Qzadmin("recalc " + tmp.path() + "/none --business X --kind history").status, 1);
}

}  // namespace
}  // namespace qztest
