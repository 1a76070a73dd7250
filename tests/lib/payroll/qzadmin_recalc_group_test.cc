// `qzadmin recalc` with the group totals and the debt adjustment on a copy
// of the demo: each commits and says so, a second run writes nothing, and
// options a kind does not take end with status 2.
#include <gtest/gtest.h>

#include "support/demo_copy.h"
#include "support/temp_dir.h"
#include "xbase/qzadmin_run.h"

namespace qztest {
namespace {

class QzadminRecalcGroupTest : public ::testing::Test {
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

TEST_F(QzadminRecalcGroupTest, GroupTotalsAndInstalmentsAreWrittenOnce) {
  CmdResult r = Recalc("--kind group-totals --from 20990101");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find(": 0 payrolls"), std::string::npos) << r.out;
  r = Recalc("--kind group-totals --type 01 --department REC");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Fin de Proceso"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(", 0 written"), std::string::npos) << r.out;
  r = Recalc("--kind group-totals --department REC");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find(", 0 written"), std::string::npos) << r.out;

  r = Recalc("--kind transactions");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Fin de Proceso"), std::string::npos) << r.out;
  EXPECT_EQ(Recalc("--kind transactions --from 20260101").status, 2);
  EXPECT_EQ(Qzadmin("check " + root).status, 0);
}

}  // namespace
}  // namespace qztest
