// A payroll opening that does not finish leaves nothing of that payroll:
// a write the disk refuses midway, a workstation killed midway (the next one
// to start undoes it), and two workstations opening at once (two departments
// of one date: both succeed and the shared rows are copied once; the same
// department: one succeeds, the other is refused). Each runs with the local
// engine and with the server engine.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "consolidation_fixture.h"
#include "lib/clock.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/message_box.h"

namespace qztest {
namespace {

class ConsolidationFailureTest : public ConsolidationTest,
                                 public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    ConsolidationTest::SetUp();
    if (GetParam()) {
      inst.WriteFile("ADS.DEF", Installation::ServerAdsDef(inst.root));
      ASSERT_EQ(inst.Start(), qz::StartResult::kContinue);
    }
  }
};

// Another workstation: a fresh process that opens one payroll and ends with
// the outcome as its exit status. It waits for a byte on `go` first (when
// given); with `report` it writes a byte when `stop_at` steps are done and
// then hangs there, in the middle of its transaction, until it is killed.
pid_t Workstation(const std::string& root, const std::string& dept, int go, int report,
                  int64_t stop_at) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  qz::SetClock(nullptr);
  qz::SetMessageBoxProvider(nullptr);
  qz::ResetGlobals();
  qz::ResetWorkAreas();
  qz::G().EXT_MODULO = "PCFG";
  if (qz::StartDataLayer(root) != qz::StartResult::kContinue) _exit(90);
  char byte;
  if (go >= 0 && read(go, &byte, 1) != 1) _exit(91);
  qz::ConsolidationRequest r;
  r.negocio = "HOTEL CENTRAL";
  r.depto = dept;
  r.fecha = kMarch31;
  r.progress = [&](int64_t done, int64_t) {
    if (report >= 0 && done == stop_at) {
      if (write(report, "x", 1) != 1) _exit(92);
      for (;;) pause();
    }
    return true;
  };
  try {
    _exit(static_cast<int>(qz::ConsolidatePayroll(r).outcome));
  } catch (...) {
    _exit(93);
  }
}

int ExitStatus(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_P(ConsolidationFailureTest, AWriteRefusedMidwayLeavesNoRowOfThePayroll) {
  AddEmployees("D1", 998, 450000);
  // The disk takes no file beyond 400 KB: the lines of about a third of the
  // employees fit.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 400 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  qz::ConsolidationResult r;
  bool threw = false;
  try {
    r = Open("D1");
  } catch (const qz::Fault&) {
    threw = true;
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_TRUE(threw || r.outcome == qz::ConsolidationOutcome::kFailed) << r.message;
  EXPECT_EQ(HistoryRows(), 0u);
  EXPECT_TRUE(CheckHistory().empty());
  // Nothing stands in the way of the next attempt.
  r = Open("D1");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(Count("H_E_PERS"), 1000u);
  EXPECT_TRUE(CheckHistory().empty());
}

TEST_P(ConsolidationFailureTest, AWorkstationKilledMidwayIsUndoneByTheNextOneToStart) {
  AddEmployees("D1", 998, 450000);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = Workstation(inst.root, "D1", -1, fds[1], 700);
  close(fds[1]);
  char byte;
  ASSERT_EQ(read(fds[0], &byte, 1), 1) << "the other workstation ended early: "
                                        << ExitStatus(child);
  close(fds[0]);
  kill(child, SIGKILL);
  ExitStatus(child);
  {
    // The dead workstation got far: its lines are in the file, uncommitted.
    auto lines = xb::Table::Open(bases + "/H_E_PERS.DBF");
    ASSERT_TRUE(lines.ok());
    EXPECT_GE(*(*lines)->RecCount(), 690u);
  }
  ASSERT_EQ(inst.Start(), qz::StartResult::kContinue);
  EXPECT_EQ(HistoryRows(), 0u);
  EXPECT_TRUE(CheckHistory().empty());
  qz::ConsolidationResult r = Open("D1");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.lines, 1000);
}

TEST_P(ConsolidationFailureTest, TwoDepartmentsOpenedAtOnceBothSucceedSharingOneCopy) {
  AddEmployees("D1", 300, 450000, "E");
  AddEmployees("D2", 300, 450000, "F");
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t a = Workstation(inst.root, "D1", go[0], -1, 0);
  pid_t b = Workstation(inst.root, "D2", go[0], -1, 0);
  ASSERT_EQ(write(go[1], "xx", 2), 2);
  EXPECT_EQ(ExitStatus(a), 0);
  EXPECT_EQ(ExitStatus(b), 0);
  EXPECT_EQ(Count("H_E_DEPT"), 2u);
  EXPECT_EQ(Count("H_E_PERS"), 602u);
  EXPECT_EQ(Count("H_E_COST"), 1u);
  EXPECT_EQ(Count("H_D_COST"), 2u);
  EXPECT_EQ(Count("H_GRP_C"), 2u);
  EXPECT_TRUE(CheckHistory().empty());
}

TEST_P(ConsolidationFailureTest, TheSamePayrollOpenedAtOnceFromTwoWorkstationsIsMadeOnce) {
  AddEmployees("D1", 300, 450000);
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t a = Workstation(inst.root, "D1", go[0], -1, 0);
  pid_t b = Workstation(inst.root, "D1", go[0], -1, 0);
  ASSERT_EQ(write(go[1], "xx", 2), 2);
  const int ea = ExitStatus(a), eb = ExitStatus(b);
  const int done = static_cast<int>(qz::ConsolidationOutcome::kDone);
  const int exists = static_cast<int>(qz::ConsolidationOutcome::kAlreadyExists);
  EXPECT_TRUE((ea == done && eb == exists) || (ea == exists && eb == done)) << ea << " " << eb;
  EXPECT_EQ(Count("H_E_DEPT"), 1u);
  EXPECT_EQ(Count("H_E_PERS"), 302u);
  EXPECT_TRUE(CheckHistory().empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ConsolidationFailureTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Server" : "Local"; });

}  // namespace
}  // namespace qztest
