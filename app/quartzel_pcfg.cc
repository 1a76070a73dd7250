// quartzel-pcfg: the payroll-configuration program. It finds its
// installation as the folder of the executable (or QUARTZEL_HOME), logs the
// user in and runs the main window until the user leaves.
//
//   quartzel-pcfg                                   run on the installation
//   quartzel-pcfg --module HOTEL                    run with the toolbar of a cash-handling
//                                                   module (HOTEL, VENTAS, RES, T_SHARE):
//                                                   its cash button opens the cash boxes
//                                                   (without --module: QUARTZEL.INI [MODULO] MODULO)
//   quartzel-pcfg --screenshot TEMPLATE FILE.png    render a template offscreen
//   quartzel-pcfg --screenshot SCREEN[:OP[:ROW]] FILE.png   a menu screen on a demo
//                                                    installation (after an "Editar" operation)
//   quartzel-pcfg --shot-session USER PASSWORD DIR  log in offscreen and save the login
//                                                   dialog, main window, menus and error dialog
#include "quartzel_pcfg.h"

#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "admin/admin_screens.h"
#include "accounting/accounting_screens.h"
#include "cash/cash_screens.h"
#include "devices/device_screens.h"
#include "lib/ui/dialog_template.h"
#include "payroll/payroll_screens.h"
#include "quartzel_pcfg_shell.h"
#include "shell/application.h"

namespace {

namespace fs = std::filesystem;

std::string ExePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? "./quartzel-pcfg" : exe.string();
}

// Dialog templates: the installation's resources/dialogs, else the sources'.
void FindTemplates(const std::string& home) {
  for (const std::string& dir :
       {home + "/resources/dialogs", std::string(QZ_SOURCE_DIR) + "/resources/dialogs"}) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) {
      qz::SetDialogTemplateDir(dir);
      return;
    }
  }
}

// The screens of the layers above the shell.
void RegisterScreens(qz::MenuRegistry& r, qz::Desktop& d) {
  qz::RegisterPayrollScreens(r, d);
  qz::RegisterAdminScreens(r, d);
  qz::RegisterDeviceScreens(r, d);
  qz::RegisterAccountingScreens(r, d);
  qz::RegisterCashScreens(r, d);
}

}  // namespace

int main(int argc, char** argv) {
  const bool offscreen_mode = argc >= 3 && (std::strcmp(argv[1], "--screenshot") == 0 ||
                                            std::strcmp(argv[1], "--shot-session") == 0);
  if (offscreen_mode && std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  const std::string home = qz::FindProgramFolder(ExePath());
  FindTemplates(home);
  pcfg::ShellQtUi ui;
  if (argc >= 4 && std::strcmp(argv[1], "--screenshot") == 0)
    return pcfg::Screenshot(ui, argv[2], argv[3]);
  if (argc >= 5 && std::strcmp(argv[1], "--shot-session") == 0)
    return pcfg::ShotSession(ui, home, argv[2], argv[3], argv[4]);

  pcfg::QtMainView view(ui);
  qz::MenuRegistry registry;
  RegisterScreens(registry, ui.desktop());
  qz::Application application(ui.desktop(), view, registry);
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--module") == 0) application.SetModule(argv[i + 1]);
  ui.principal = nullptr;
  if (!application.Start(home)) return view.ended() ? view.exit_code() : 1;
  ui.principal = &application.principal();
  view.Attach(application.principal());
  view.ShowMain();
  application.Shown();
  int rc = app.exec();
  ui.principal = nullptr;
  return view.ended() ? view.exit_code() : rc;
}
