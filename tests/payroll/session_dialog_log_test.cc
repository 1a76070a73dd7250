// The dialog-usage log belongs to a logged-in session: the dialogs a session
// opens are written to LOG_DIAG, and once it logged out (its main window
// gone, its desktop perhaps next) nothing opened afterwards writes there
// through it. The log hook is process-wide, so a hook left behind would
// write through a destroyed main window's desktop.
#include <gtest/gtest.h>

#include "lib/ui/desktop.h"
#include "support/demo_shell_session.h"
#include "xbase/table.h"

namespace {

class SessionDialogLogTest : public qztest::DemoShellTest {
 protected:
  void SetUp() override { ASSERT_TRUE(qztest::StartOnDemoCopy(dir, &root)); }

  uint32_t Logged() {
    auto t = xb::Table::Open(root + "BASES/LOG_DIAG.DBF");
    EXPECT_TRUE(t.ok());
    if (!t.ok()) return 0;
    uint32_t n = 0;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) ++n;
    return n;
  }
  // A modal dialog of the window library, accepted at once.
  void OpenADialog() {
    ui.OnDialog("MODIOCUPA", [](qz::WDIAG& d) { d.UserPress(1); });
    qz::DIALOG_BOX(ui.desktop(), "MODIOCUPA", nullptr, [](qz::WDIAG& d, int m, int64_t w, int64_t) {
      if (m == qz::kWmCommand) d.ENDDIALOG(static_cast<int>(w));
      return 1;
    });
  }
};

TEST_F(SessionDialogLogTest, OnlyALoggedInSessionWritesTheDialogsItOpens) {
  main = qztest::LogIn(ui, view, registry, "SUPER");
  ASSERT_NE(main, nullptr);
  const uint32_t at_login = Logged();
  OpenADialog();
  EXPECT_EQ(Logged(), at_login + 1);
  qztest::LogOut(ui, main);
  OpenADialog();
  EXPECT_EQ(Logged(), at_login + 1);
  // The next login logs again.
  main = qztest::LogIn(ui, view, registry, "SUPER");
  ASSERT_NE(main, nullptr);
  const uint32_t again = Logged();
  OpenADialog();
  EXPECT_EQ(Logged(), again + 1);
}

}  // namespace
