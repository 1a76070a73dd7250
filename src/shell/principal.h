// The main window's logic (PRINCIPAL): construction with the installation
// settings, the login and the rights; the menu bar rebuilt on every screen
// activation and business change; the window procedure's messages and
// timers (exit requests with their five-minute grace, the session lock, the
// password expiry after a business change, the rights-capture mode); and
// the exit paths. The window system shows it through MainWindowView and the
// Desktop; everything runs headless in tests with a fake clock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lib/ui/desktop.h"
#include "shell/login.h"
#include "shell/main_window_view.h"
#include "shell/menu_model.h"
#include "lib/ui/menu_registry.h"
#include "shell/rights.h"
#include "shell/session_lock.h"

namespace qz {

class MToolBar;
class RightsMenu;
struct MenuDef;

// Message numbers of the main window and its toolbar.
enum ShellMessage : int {
  kWmClose = 16,
  kWmActivateApp = 28,
  kWmContextMenu = 123,
  kWmTimer = 275,
  kWmMenuSelect = 287,
  kWmMenuRButtonUp = 290,
  kWmRButtonDown = 516,
  kMsgCaptureOn = 1030,
  kMsgCaptureOff = 1031,
  kMsgPrices = 1913,
  kMsgQuitCheck1 = 2215,
  kMsgQuitCheck2 = 2216,
  kMsgExitCountdown = 2217,
  kMsgBusinessChanged = 2220,
  kMsgBusinessCancelled = 2221,
  kMsgLockSession = 2223,
};

// The marker a re-posted menu-select message carries (capture / usage log).
inline constexpr int kCaptureMarker = 99;

class PRINCIPAL {
 public:
  static constexpr const char* kTitle = "Configuracion Nómina";
  static constexpr int kExitCheckTimer = 2;
  static constexpr int kCountdownTimer = 3;
  static constexpr int kIdleTimer = 10;
  static constexpr int kQueueTimer = 11;
  static constexpr int64_t kExitCheckMs = 60000;
  static constexpr int64_t kCountdownMs = 30000;
  static constexpr int64_t kGraceMs = 300000;
  static constexpr int64_t kSplashMs = 7000;

  PRINCIPAL(Desktop& desktop, MainWindowView& view, const MenuRegistry& registry);
  ~PRINCIPAL();
  PRINCIPAL(const PRINCIPAL&) = delete;
  PRINCIPAL& operator=(const PRINCIPAL&) = delete;

  // Init: settings, login, rights, menu, toolbar, timers. False when the
  // program ends here (login cancelled or refused, expired password not
  // changed); the view has then been asked to end the process.
  bool Init();

  // --- menus
  // MenuSet: with `reload` the user's rights are loaded first for the
  // business; then the whole bar is rebuilt and handed to the view.
  void MenuSet(const std::string& user, const std::string& business, bool reload);
  // The bar again with the current rights and "Editar" entries.
  void RebuildMenu();
  const MenuBar& menu_bar() const { return bar_; }
  // A menu command by id: runs the entry's action (through the error
  // handler); "Menuitem no encontrado: " + id when the bar has no such
  // entry. False when nothing ran (missing, greyed or without action).
  bool Command(int id);
  // The same by caption path ("&Archivo", "Mantenimientos", ...).
  bool Choose(const std::vector<std::string>& path);
  // A right click on the entry `id` (capture mode / usage log).
  void MenuRightClick(int id);
  // The business the screens are opened for: the toolbar's selection.
  std::string CurrentBusiness();

  // --- the window procedure and the posted-message queue
  int SendMessage(int msg, int64_t wparam = 0, int64_t lparam = 0);
  void PostMessage(int msg, int64_t wparam = 0, int64_t lparam = 0);
  void Post(std::function<void()> fn);
  // Handles every posted message (the window systems call it after each
  // event; a desktop timer does it too). Returns how many ran.
  int DispatchPosted();
  // Called whenever something is posted (Qt: schedules DispatchPosted).
  void SetWakeup(std::function<void()> fn) { wakeup_ = std::move(fn); }

  // --- exits
  void Salir();       // the close question
  void Exit();        // LOGOUT_USER, then end
  void EXIT_LOGIN();  // end without stamping the entry log
  void LOGOUT_USER();
  void CHECK_QUIT();
  // --- session lock
  void BLOQ_SESSION();
  IdleDetector& idle() { return idle_; }

  // --- parts and state
  Desktop& desktop() { return desktop_; }
  MainWindowView& view() { return view_; }
  Rights& rights() { return rights_; }
  UserLogin& login() { return login_; }
  MToolBar* toolbar() { return toolbar_.get(); }
  WDIAG& frame() { return frame_; }  // owner of the main window's timers
  bool ended() const { return ended_; }
  std::vector<std::string> StatusPanes() const;

  int Por_Salir = 0;
  int64_t Time_Salir = 0;
  int Activo = 1;
  bool Captura = false;
  int cual = 0;
  bool Do_Login = true;
  // The toolbar kind (lib/ui/cash_button.h) built by Init: this program's own
  // is 0, without cash button; a cash-handling module's has it.
  int toolbar_kind = 0;

 private:
  friend class MToolBar;
  int WndProcPR(int msg, int64_t wparam, int64_t lparam);
  bool Ingresar();
  void OnTimer(int id);
  void ExitCountdown();
  void ExpiryAfterBusinessChange();
  void CaptureOrUsageLog(int id);
  void OpenLogDiag(int id);
  void End(int code, bool logout);
  void StartTimers();
  // Menu building.
  MenuEntry BuildEntry(const MenuDef& def, const std::string& business);
  MenuEntry FilePopup(const std::string& business);
  MenuEntry EditPopup();
  MenuEntry WindowsPopup();
  MenuEntry AboutPopup();
  std::function<void()> ShellScreen(const std::string& screen, const std::string& business);

  Desktop& desktop_;
  MainWindowView& view_;
  const MenuRegistry& registry_;
  WDIAG frame_;
  Rights rights_;
  UserLogin login_;
  IdleDetector idle_;
  std::unique_ptr<MToolBar> toolbar_;
  std::unique_ptr<RightsMenu> capture_menu_;  // the users screen's view of the menu
  MenuBar bar_;
  std::deque<std::function<void()>> queue_;
  std::function<void()> wakeup_;
  int next_free_id_ = 30001;
  bool in_wnd_proc_ = false;
  bool ended_ = false;
  bool supervisor_notified_ = false;
  bool building_menu_ = false;
};

}  // namespace qz
