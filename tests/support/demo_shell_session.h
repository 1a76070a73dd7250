// A clerk's session with the real shell on a copy of the demo installation:
// the copy and the data layer started on it, then the login that brings up
// the main window. Tests that walk screens from the menu, change business
// from the toolbar or move data between hotels start from here.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/dialog_template.h"
#include "lib/ui/menu_registry.h"
#include "shell/main_window_view.h"
#include "shell/principal.h"
#include "shell/toolbar.h"
#include "support/demo_copy.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "ui/headless/headless_ui.h"

namespace qztest {

// The scripted window system, rebuilding the main menu when rights change
// (a business change) as the real one does.
class ShellUi : public qz::HeadlessUi {
 public:
  void MenuChanged() override {
    if (principal) principal->RebuildMenu();
  }
  qz::PRINCIPAL* principal = nullptr;
};

// Copies the demo into `dir`/inst and starts the payroll program's data
// layer on it; `*root` receives the program folder (with its slash).
inline ::testing::AssertionResult StartOnDemoCopy(const TempDir& dir, std::string* root) {
  *root = dir.path() + "/inst/";
  xb::Status made = CopyDemoInstallation(dir.path() + "/inst");
  if (!made.ok()) return ::testing::AssertionFailure() << made.ToString();
  qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
  qz::ResetGlobals();
  qz::G().EXT_MODULO = "PCFG";
  if (qz::StartDataLayer(*root) != qz::StartResult::kContinue)
    return ::testing::AssertionFailure() << "the data layer did not start on " << *root;
  return ::testing::AssertionSuccess();
}

// Logs `user` in on `business` (its caption in the login's list) and brings
// up the main window; null when the login or the window's start failed.
inline std::unique_ptr<qz::PRINCIPAL> LogIn(ShellUi& ui, qz::RecordingView& view,
                                            qz::MenuRegistry& registry, const std::string& user,
                                            const std::string& password = "DEMO",
                                            const std::string& business = "Hotel Playa Sol") {
  ui.OnDialog("XLOGINUSR", [=](qz::WDIAG& d) {
    d.UserChoose(601, business);
    d.UserType(500, user);
    d.UserType(501, password);
    d.UserPress(1);
  });
  auto main = std::make_unique<qz::PRINCIPAL>(ui.desktop(), view, registry);
  ui.principal = main.get();
  if (!main->Init()) {
    ui.principal = nullptr;
    return nullptr;
  }
  return main;
}

// Closes every window and the main window, in the order the shell does.
inline void LogOut(ShellUi& ui, std::unique_ptr<qz::PRINCIPAL>& main) {
  ui.desktop().CloseAll();
  ui.principal = nullptr;
  main.reset();
}

// The fixture of such a session: each test starts the data layer and logs in
// (with the screens it registers) in its SetUp; the session ends logged out.
class DemoShellTest : public ::testing::Test {
 protected:
  void TearDown() override { LogOut(ui, main); }

  // Changes business as a user does from the toolbar: picks `caption` in the
  // list and answers the access dialog as `user`. The new business's
  // reminders (the exchange rate's) are taken off the screen.
  void ChangeBusiness(const std::string& caption, const std::string& user,
                      const std::string& password = "DEMO") {
    ui.OnDialog("CHANGE_NEG", [=](qz::WDIAG& d) {
      d.UserType(500, user);
      d.UserType(501, password);
      d.UserPress(1);
    });
    ASSERT_TRUE(main->toolbar()->ChooseBusiness(caption));
    main->DispatchPosted();
    ui.TakeBoxTexts();
  }

  TempDir dir;
  FakeClock clock;
  std::string root;
  ShellUi ui;
  qz::RecordingView view;
  qz::MenuRegistry registry;
  std::unique_ptr<qz::PRINCIPAL> main;
};

}  // namespace qztest
