// The main window's side of the window library: the child windows it hosts
// and which one is active, the "Editar" popup of the active screen, window
// timers, the waiting window and modal dialogs. It is plain logic; a window
// system (Qt or headless) shows it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lib/settings/multitask.h"  // MULTITASK for the screens' long loops
#include "lib/ui/wdiag.h"
#include "lib/ui/window_system.h"

namespace qz {

class Desktop;

// One "Editar" entry: an action of a screen. Whether it can run is never
// stored: it is worked out each time from the screen (alive and enabled, so
// not behind its own edit window), from whether a modal dialog is open, and
// from the user's right in the business in force. So a business change, an
// edit window or a dialog greys the entry at once, and an entry chosen from
// a menu built earlier checks again when it runs.
class EditAction {
 public:
  EditAction(Desktop* desktop, std::string caption, int right, std::string operation,
             WDIAG* screen)
      : desktop_(desktop),
        caption(std::move(caption)),
        right(right),
        operation(std::move(operation)),
        screen(screen) {}

  // True when the entry can run now.
  bool Enabled() const;
  // The user lacks the right (the rest of Enabled aside).
  bool Denied() const;
  bool has_action() const { return screen != nullptr && !operation.empty(); }
  // Runs the screen's operation after checking Enabled again; false when it
  // did not run.
  bool Run() const;

 private:
  Desktop* desktop_;

 public:
  std::string caption;  // trailing blanks trimmed
  int right = 0;        // right id; 0 = always allowed
  std::string operation;
  WDIAG* screen = nullptr;  // null: an entry without action
};

class Desktop {
 public:
  explicit Desktop(WindowSystem& ws);
  ~Desktop();

  WindowSystem& window_system() { return ws_; }

  // --- child windows. The desktop owns the screens it hosts; a screen that
  // ended is destroyed (views dropped, OnNCDestroy run, object deleted) by
  // Collect(), which the event loop calls after each user action.
  WDIAG* Adopt(std::unique_ptr<WDIAG> w);
  void Shown(WDIAG& w);  // called by WDIAG::CREATE
  void Ended(WDIAG& w);  // called by WDIAG::ENDDIALOG
  void Collect();
  // Ends every window the way closing it would, and collects them.
  void CloseAll();
  // A window object is going away: drop every reference to it (called by
  // ~WDIAG, so a window the desktop does not own may be destroyed any time).
  void Forget(WDIAG* w);
  std::vector<WDIAG*> windows() const;
  WDIAG* FindWindow(const std::string& template_name) const;  // the newest, or null
  // The active child window; the window systems call Activate when the user
  // brings one to the front.
  WDIAG* active() const { return active_; }
  void Activate(WDIAG* w);

  // --- "Editar" popup. MENUSET(id, screen): the entries registered for
  // menu id `id`, each calling `screen`'s operation; id 0 (or an id without
  // entries) leaves the single entry "No hay operaciones asociadas".
  void MENUSET(int menu_id, WDIAG* screen, const std::string& business);
  const std::vector<EditAction>& edit_menu() const { return edit_menu_; }
  int edit_menu_id() const { return edit_menu_id_; }
  // Runs the entry with `caption` (trailing blanks ignored); false when it
  // is missing, greyed or has no action.
  bool ChooseEdit(const std::string& caption);
  // GET_RIGHTS: true when the right is denied. Default: everything allowed.
  void SetRightsCheck(std::function<bool(int)> denied);
  bool Denied(int right) const { return denied_ && right != 0 && denied_(right); }
  // Something the "Editar" entries depend on changed (rights reloaded, a
  // window enabled or disabled, a modal dialog opened or closed): the window
  // system shows the entries again.
  void ActionsChanged();
  // True while a modal dialog runs: nothing behind it may be used.
  bool modal_open() const { return modal_depth_ > 0; }
  void ModalBegins() { ++modal_depth_; ActionsChanged(); }
  void ModalEnds() { --modal_depth_; ActionsChanged(); }
  // The window is one of the desktop's live windows.
  bool Alive(const WDIAG* w) const;
  // The menu id the last DO_ACTION recorded (XID_MENU).
  int xid_menu() const { return xid_menu_; }
  void set_xid_menu(int id) { xid_menu_ = id; }

  // --- window timers, run on the UI thread from the clock (lib/clock.h), so
  // a fake clock drives them in tests.
  void SetTimer(const WDIAG* owner, int id, int64_t period_ms, std::function<void()> fn);
  void KillTimer(const WDIAG* owner, int id);
  void KillTimers(const WDIAG* owner);
  // Runs every timer whose period has passed; returns how many ran.
  int RunDueTimers();

  // The focus: which window and control have it (restored after a modal
  // dialog).
  WDIAG* focus_window() const { return focus_window_; }
  void set_focus_window(WDIAG* w) { focus_window_ = w; }

  // The waiting window's ids.
  int NextWaitId() { return ++wait_ids_; }

 private:
  struct Timer {
    const WDIAG* owner;
    int id;
    int64_t period;
    int64_t due;
    std::function<void()> fn;
  };

  WindowSystem& ws_;
  std::vector<std::unique_ptr<WDIAG>> owned_;
  std::vector<WDIAG*> shown_;
  std::vector<WDIAG*> ended_;
  WDIAG* active_ = nullptr;
  WDIAG* focus_window_ = nullptr;
  std::vector<EditAction> edit_menu_;
  int modal_depth_ = 0;
  int edit_menu_id_ = 0;
  std::function<bool(int)> denied_;
  int xid_menu_ = 0;
  std::vector<Timer> timers_;
  int wait_ids_ = 0;
  bool building_menu_ = false;
};

// The desktop the program runs with (set by the host at start; tests set
// their own). Null before.
Desktop* CurrentDesktop();
void SetCurrentDesktop(Desktop* d);

// DO_ACTION: records the menu id, then runs the action (which usually opens a
// screen).
void DO_ACTION(Desktop& desktop, int menu_id, const std::function<void()>& action);

// DIALOG_BOX: runs the template as a modal dialog owned by `owner` and
// returns the value passed to ENDDIALOG (2 when the template cannot be
// loaded). `proc` receives WM_INITDIALOG, then WM_COMMAND for each button.
int DIALOG_BOX(Desktop& desktop, const std::string& template_name, WDIAG* owner, DialogProc proc);

// The dialog-usage log hook: DIALOG_BOX calls it (NEW_LOG_DIAG) with the
// owner and template name of every dialog it opens.
using DialogLogHook = std::function<void(WDIAG* owner, const std::string& template_name)>;
void SetDialogLogHook(DialogLogHook hook);

// The small modeless waiting window.
class WAIT {
 public:
  explicit WAIT(WDIAG* owner, const std::string& text = "Procesando Datos...");
  ~WAIT();
  void PUT_TEXT(const std::string& text);
  void TERMINAR();

 private:
  Desktop* desktop_;
  int id_ = 0;
  bool open_ = false;
};

}  // namespace qz
