// The summary rebuild against other workstations: one killed half-way
// leaves nothing once the next one starts, and two rebuilding at once write
// each line's summary once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "history_recalc_fixture.h"
#include "support/other_workstation.h"
#include "lib/clock.h"
#include "lib/data/work_areas.h"
#include "lib/payroll/history_summary.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/message_box.h"

namespace qztest {
namespace {

class SummaryWorkstationsTest : public HistoryRecalcTest {
 protected:
  void SetUp() override {
    HistoryRecalcTest::SetUp();
    for (int m = 1; m <= 6; ++m) {
      const int32_t f = Date(2026, m, 20);
      Payroll("D1", f, {"01", "02"});
      for (const char* e : {"E1", "E2", "E3"}) {
        Line("D1", f, e, 1000);
        Value(e, "01", f, 10);
        Value(e, "02", f, 20);
      }
    }
  }

  // Another workstation: a fresh process that rebuilds the summary and ends
  // with 0 when it committed. It waits for a byte on `go` (when given);
  // with `report` it writes a byte once `stop_at` lines are done and hangs
  // there, inside its transaction, until it is killed.
  pid_t Workstation(int go, int report, int64_t stop_at) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    BecomeAnotherWorkstation(inst.root);
    char byte;
    if (go >= 0 && read(go, &byte, 1) != 1) _exit(91);
    qz::HistoryRecalcRequest r = Request();
    r.progress = [&](const std::string&, int64_t done, int64_t) {
      if (report >= 0 && done == stop_at) StopHereForGood(report);
      return true;
    };
    try {
      _exit(qz::RebuildColumnSummary(r).ok() ? 0 : 1);
    } catch (...) {
      _exit(93);
    }
  }
  static int ExitStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(SummaryWorkstationsTest, AWorkstationKilledMidwayIsUndoneByTheNextOneToStart) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_NO_FATAL_FAILURE(KillWhenStopped(Workstation(-1, fds[1], 10), fds));
  {
    // The dead workstation's rows are in the file, uncommitted.
    auto rows = xb::Table::Open(bases + "/H_D_PER4.DBF");
    ASSERT_TRUE(rows.ok());
    EXPECT_GE(*(*rows)->RecCount(), 9u);
  }
  ASSERT_EQ(inst.Start(), qz::StartResult::kContinue);
  EXPECT_TRUE(Rows("H_D_PER4").empty());
  EXPECT_TRUE(Rows("H_D_PER9").empty());
  auto r = qz::RebuildColumnSummary(Request());
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(Rows("H_D_PER4").size(), 18u);
}

TEST_F(SummaryWorkstationsTest, ARunningWorkstationRebuildingAfterAKilledOneKeepsItsWork) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_NO_FATAL_FAILURE(KillWhenStopped(Workstation(-1, fds[1], 10), fds));
  // This workstation was running all along: it rebuilds at once, without a
  // program start in between, and must not take the dead one's rows for
  // done.
  auto r = qz::RebuildColumnSummary(Request());
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(Rows("H_D_PER4").size(), 18u);
  // The next program start finds nothing left to undo over that work.
  ASSERT_EQ(inst.Start(), qz::StartResult::kContinue);
  for (const char* t : {"H_D_PER4", "H_D_PER5", "H_D_PER9"}) EXPECT_EQ(Rows(t).size(), 18u) << t;
}

TEST_F(SummaryWorkstationsTest, TwoRebuildsAtOnceSummariseEachLineOnce) {
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t a = Workstation(go[0], -1, 0);
  pid_t b = Workstation(go[0], -1, 0);
  ASSERT_EQ(write(go[1], "xx", 2), 2);
  EXPECT_EQ(ExitStatus(a), 0);
  EXPECT_EQ(ExitStatus(b), 0);
  for (const char* t : {"H_D_PER4", "H_D_PER5", "H_D_PER9"}) EXPECT_EQ(Rows(t).size(), 18u) << t;
}

}  // namespace
}  // namespace qztest
