// WDIAG: a window built from a named dialog template. The window's state —
// every control's text, check state, entries, enabled flag and focus — lives
// here as plain values; the window system in use (Qt, or the scripted
// headless one) only shows it and reports what the user does. So a screen is
// the same code on screen and in tests.
//
// Controls are addressed by the numeric ids of the template. Modal dialogs
// (DIALOG_BOX) pass every message to the screen's callback the way the
// screens were written: WM_INITDIALOG when the dialog opens, WM_COMMAND with
// the button id when one is pressed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lib/ui/dialog_template.h"
#include "xbase/status.h"

namespace qz {

class Desktop;
class WBLISTBOX;
class TreeModel;

// Win32 message numbers the screens use.
enum WinMessage : int {
  kWmSetText = 12,
  kWmNcActivate = 134,
  kWmInitDialog = 272,
  kWmCommand = 273,
  kBmGetCheck = 240,
  kBmSetCheck = 241,
  kWmMdiActivate = 546,
};

struct ListEntry {
  std::string text;   // UTF-8
  std::string cargo;  // the value the screen stores (a code)
  bool selected = false;
};

struct ControlState {
  int id = 0;
  ControlKind kind = ControlKind::kEdit;
  const TemplateNode* node = nullptr;
  std::string text;  // edit and label text, button/check/radio caption
  int check = 0;     // check box and radio: 1 = checked
  bool enabled = true;
  int radio_group = 0;             // radios with the same number exclude each other
  std::vector<ListEntry> entries;  // combo and list
  int current = -1;                // combo: the selected entry, -1 = none
  // Edit and memo: where typing goes, a byte offset into `text` on a
  // character boundary; -1 = after the last character.
  int caret = -1;
};

// What a window system implements to show one window.
class WindowView {
 public:
  virtual ~WindowView() = default;
  virtual void ControlChanged(int id) = 0;  // value, entries or enabled flag set by code
  virtual void FocusChanged(int id) = 0;
  virtual void WindowChanged() = 0;  // title, enabled or shown-active state
};

// A control's callback: returns 1 for a message it handled, 0 otherwise.
using DialogProc = std::function<int(class WDIAG& dlg, int msg, int64_t wparam, int64_t lparam)>;

class WDIAG {
 public:
  // `parent` is the window that owns this one (null for a screen of the main
  // window).
  WDIAG(Desktop& desktop, WDIAG* parent, std::string template_name);
  virtual ~WDIAG();
  WDIAG(const WDIAG&) = delete;
  WDIAG& operator=(const WDIAG&) = delete;

  // Reads the template and builds the controls. A missing or invalid
  // template is reported to the user and returned.
  xb::Status INIT();
  // Shows the window as a child of the main window (INIT first if needed).
  xb::Status CREATE();
  // Registers the block run when control `id` is pressed (a button),
  // clicked (a check box or radio) or given another entry (a combo).
  void ADD(int id, std::function<void()> block);
  // Closes the window with `result`; its destruction runs OnNCDestroy.
  void ENDDIALOG(int result);

  bool ended() const { return ended_; }
  int result() const { return result_; }
  const std::string& template_name() const { return template_name_; }
  const DialogTemplate* dialog_template() const { return tmpl_.get(); }
  Desktop& desktop() const { return desktop_; }
  WDIAG* parent() const { return parent_; }

  // Run once when the window is destroyed (the screens close their tables
  // here). Set by the screen.
  std::function<void()> OnNCDestroy;
  // Modal dialogs: every message goes here first.
  DialogProc proc;

  // --- controls by id (UTF-8 texts). Unknown ids are ignored / read empty.
  ControlState* Control(int id);
  const ControlState* Control(int id) const;
  void SetText(int id, const std::string& text);
  std::string Text(int id) const;
  void SetCheck(int id, int state);  // a radio set to 1 clears its group
  int Check(int id) const;
  void EnableControl(int id, bool on);
  bool ControlEnabled(int id) const;
  void SetFocus(int id);
  int focus() const { return focus_; }
  // The caret of an edit or memo (byte offset into its UTF-8 text, clamped
  // to a character boundary; -1 or past the end = at the end).
  void SetCaret(int id, int offset);
  int Caret(int id) const;
  // Puts `text` at the caret and moves the caret after it.
  void InsertAtCaret(int id, const std::string& text);
  // Entries of combos and lists.
  void ClearEntries(int id);
  void AddEntry(int id, const std::string& text, const std::string& cargo);
  void SetCurrent(int id, int index);            // combo
  void SetSelected(int id, int index, bool on);  // list
  void ControlTouched(int id);                   // entries edited directly: tell the view

  // --- date fields (edits with picture "@D"): shown "dd/mm/yy", read with
  // the 1980 two-digit-year rule. DateValue is nullopt for text that is no
  // date (the screen tells the user), 0 for a blank field.
  void SetDate(int id, int32_t julian);
  std::optional<int32_t> DateValue(int id) const;

  // --- window state
  const std::string& title() const { return title_; }
  void SetTitle(const std::string& t);
  void ENABLEWINDOW(bool on);
  bool window_enabled() const { return enabled_; }
  // Shown active (title bar) — cleared while a modal dialog runs over it.
  bool shown_active() const { return shown_active_; }

  // Messages: the dialog callback first; activation messages are handled
  // here.
  int SendMessage(int msg, int64_t wparam = 0, int64_t lparam = 0);

  // --- what the user does (called by the window systems and test scripts).
  // Each returns false when the control is missing or disabled.
  bool UserType(int id, const std::string& text);  // replaces the text
  bool UserPress(int id);
  bool UserClick(int id);                            // check box toggles, radio becomes checked
  bool UserChoose(int id, const std::string& text);  // combo entry by text
  bool UserChooseIndex(int id, int index);
  bool UserSelect(int id, const std::string& text, bool on);  // list entry by text
  // True when the last UserType dropped characters (too long, or letters in
  // a numeric control).
  bool last_input_refused() const { return last_refused_; }

  // Objects living on controls.
  void AttachGrid(int id, WBLISTBOX* grid) { grids_[id] = grid; }
  WBLISTBOX* Grid(int id) const;
  // A tree attached after the window is shown reaches its view at once.
  void AttachTree(int id, TreeModel* tree) {
    trees_[id] = tree;
    ControlTouched(id);
  }
  TreeModel* Tree(int id) const;

  void SetView(WindowView* v) { view_ = v; }
  WindowView* view() const { return view_; }

  // Called by the desktop when the window becomes the active child (and when
  // it stops being it). Catalog screens put their "Editar" entries here.
  virtual void OnActivate() {}
  virtual void OnDeactivate() {}
  // Runs the screen operation an "Editar" entry names (ADD_PUESTOS ...);
  // false when the screen has no such operation.
  virtual bool DoOperation(const std::string& name) {
    (void)name;
    return false;
  }
  // Runs OnNCDestroy once.
  void Destroyed();

 private:
  void Build(const TemplateNode& n, int group);

  Desktop& desktop_;
  WDIAG* parent_;
  std::string template_name_;
  std::shared_ptr<const DialogTemplate> tmpl_;
  std::string title_;
  std::vector<ControlState> controls_;
  std::map<int, size_t> by_id_;
  std::map<int, std::function<void()>> blocks_;
  std::map<int, WBLISTBOX*> grids_;
  std::map<int, TreeModel*> trees_;
  WindowView* view_ = nullptr;
  int focus_ = 0;
  int result_ = 0;
  int next_group_ = 1;
  bool ended_ = false;
  bool enabled_ = true;
  bool shown_active_ = true;
  bool destroyed_ = false;
  bool last_refused_ = false;
};

// SENDDLGITEMMESSAGE: 12 sets the control's text (`text`), 240 returns its
// check state, 241 sets it to `wparam`. Other messages return 0.
int64_t SENDDLGITEMMESSAGE(WDIAG& dlg, int id, int msg, int64_t wparam = 0,
                           const std::string& text = {});
std::string GETDLGITMTEXT(const WDIAG& dlg, int id);

}  // namespace qz
