// MAIN: the start sequence of the program up to its message loop. It
// installs the error dialog, runs the data layer's start (settings, engine
// choice from ADS.DEF, recovery, DUMMYADS), points the screens at the
// installation's tables, and builds the main window, whose construction
// performs the login. The window system runs the loop afterwards.
#pragma once

#include <memory>
#include <string>

#include "shell/error_dialog.h"
#include "shell/main_window_view.h"
#include "lib/ui/menu_registry.h"
#include "shell/principal.h"

namespace qz {

class Application {
 public:
  Application(Desktop& desktop, MainWindowView& view, const MenuRegistry& registry);
  ~Application();

  // The module whose toolbar the main window builds ("HOTEL", "VENTAS",
  // "RES", "T_SHARE", ...: with the cash button); without one, the
  // workstation's QUARTZEL.INI setting (ModuleOfWorkstation), else this
  // program's.
  void SetModule(const std::string& module) { module_ = module; }

  // Steps up to the constructed main window; false when the program ends
  // (server missing, login refused or cancelled).
  bool Start(const std::string& program_folder);
  // Steps after the window is shown: splash closed, window-library switches
  // and date conventions.
  void Shown();

  PRINCIPAL& principal() { return *principal_; }
  ERROR_SPEC& error_dialog() { return error_dialog_; }

 private:
  Desktop& desktop_;
  MainWindowView& view_;
  const MenuRegistry& registry_;
  ERROR_SPEC error_dialog_;
  std::unique_ptr<PRINCIPAL> principal_;
  std::string module_;
};

// The installation folder: QUARTZEL_HOME when set, else the executable's
// folder (`exe_path`).
std::string FindProgramFolder(const std::string& exe_path);

}  // namespace qz
