#include "lib/ui/desktop.h"

#include <algorithm>

#include "lib/clock.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/edit_menu.h"

namespace qz {
namespace {

Desktop* g_desktop = nullptr;
DialogLogHook g_log_hook;

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

Desktop* CurrentDesktop() {
  return g_desktop;
}
void SetCurrentDesktop(Desktop* d) {
  g_desktop = d;
  // Long loops (MULTITASK, WAIT_TIME) pump the current desktop's window system.
  if (d) {
    SetMessagePump([d] { d->window_system().Pump(); });
  } else {
    SetMessagePump(nullptr);
  }
}
void SetDialogLogHook(DialogLogHook hook) {
  g_log_hook = std::move(hook);
}

Desktop::Desktop(WindowSystem& ws) : ws_(ws) {
  MENUSET(0, nullptr, {});
}

Desktop::~Desktop() {
  // Close what is still open the way the user would, so every screen closes
  // its tables.
  CloseAll();
  if (g_desktop == this) SetCurrentDesktop(nullptr);
}

void Desktop::CloseAll() {
  // Edit windows first: they re-enable the screens that opened them.
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    if (!(*it)->ended()) (*it)->ENDDIALOG(2);
  }
  for (auto& w : owned_) {
    if (!w->ended()) w->ENDDIALOG(2);
  }
  Collect();
}

WDIAG* Desktop::Adopt(std::unique_ptr<WDIAG> w) {
  WDIAG* raw = w.get();
  owned_.push_back(std::move(w));
  return raw;
}

void Desktop::Shown(WDIAG& w) {
  if (std::find(shown_.begin(), shown_.end(), &w) == shown_.end()) {
    shown_.push_back(&w);
    // A screen opened from the menu is a dialog of the usage log as much as
    // a modal one.
    if (g_log_hook) g_log_hook(w.parent(), w.template_name());
  }
  ws_.Show(w);
  Activate(&w);
}

void Desktop::Ended(WDIAG& w) {
  bool shown = std::find(shown_.begin(), shown_.end(), &w) != shown_.end();
  bool owned = std::find_if(owned_.begin(), owned_.end(), [&](const std::unique_ptr<WDIAG>& p) {
                 return p.get() == &w;
               }) != owned_.end();
  if (!shown && !owned) return;  // a modal dialog: its loop sees ended()
  ended_.push_back(&w);
  ws_.CollectLater();
}

void Desktop::Collect() {
  while (!ended_.empty()) {
    WDIAG* w = ended_.front();
    ended_.erase(ended_.begin());
    bool shown = std::find(shown_.begin(), shown_.end(), w) != shown_.end();
    shown_.erase(std::remove(shown_.begin(), shown_.end(), w), shown_.end());
    if (shown) ws_.Destroy(*w);
    if (active_ == w) {
      active_ = nullptr;
      w->OnDeactivate();
    }
    if (focus_window_ == w) focus_window_ = nullptr;
    KillTimers(w);
    w->Destroyed();
    auto it = std::find_if(owned_.begin(), owned_.end(),
                           [w](const std::unique_ptr<WDIAG>& p) { return p.get() == w; });
    if (it != owned_.end()) owned_.erase(it);
    if (!active_) {
      WDIAG* next = nullptr;
      for (WDIAG* o : shown_) {
        if (!o->ended() && o->window_enabled()) next = o;
      }
      if (next) {
        Activate(next);
        ws_.Raise(*next);
      } else {
        MENUSET(0, nullptr, {});
      }
    }
  }
}

void Desktop::Forget(WDIAG* w) {
  bool shown = std::find(shown_.begin(), shown_.end(), w) != shown_.end();
  shown_.erase(std::remove(shown_.begin(), shown_.end(), w), shown_.end());
  ended_.erase(std::remove(ended_.begin(), ended_.end(), w), ended_.end());
  if (shown) ws_.Destroy(*w);
  if (focus_window_ == w) focus_window_ = nullptr;
  KillTimers(w);
  if (active_ == w) {
    active_ = nullptr;
    MENUSET(0, nullptr, {});
  }
}

std::vector<WDIAG*> Desktop::windows() const {
  std::vector<WDIAG*> out;
  for (WDIAG* w : shown_) {
    if (!w->ended()) out.push_back(w);
  }
  return out;
}

WDIAG* Desktop::FindWindow(const std::string& template_name) const {
  WDIAG* found = nullptr;
  for (WDIAG* w : windows()) {
    if (w->template_name() == template_name) found = w;
  }
  return found;
}

void Desktop::Activate(WDIAG* w) {
  if (w == active_) return;
  if (w && (w->ended() || std::find(shown_.begin(), shown_.end(), w) == shown_.end())) return;
  WDIAG* old = active_;
  active_ = w;
  if (old) old->OnDeactivate();
  if (w) {
    w->OnActivate();
    focus_window_ = w;
  }
}

bool EditAction::Denied() const {
  return desktop_->Denied(right);
}

bool EditAction::Enabled() const {
  if (!has_action() || desktop_->modal_open()) return false;
  // The screen may have closed since the menu was built, or be waiting for
  // its own edit window.
  if (!desktop_->Alive(screen) || !screen->window_enabled()) return false;
  return !Denied();
}

bool EditAction::Run() const {
  if (!Enabled()) return false;
  WDIAG* s = screen;
  std::string op = operation;
  RunOperation([&] { s->DoOperation(op); });
  return true;
}

bool Desktop::Alive(const WDIAG* w) const {
  if (!w || w->ended()) return false;
  return std::find(shown_.begin(), shown_.end(), w) != shown_.end();
}

void Desktop::SetRightsCheck(std::function<bool(int)> denied) {
  denied_ = std::move(denied);
  ActionsChanged();
}

void Desktop::ActionsChanged() {
  if (!building_menu_) ws_.MenuChanged();
}

void Desktop::MENUSET(int menu_id, WDIAG* screen, const std::string& business) {
  (void)business;
  if (building_menu_) return;
  building_menu_ = true;
  edit_menu_.clear();
  edit_menu_id_ = menu_id;
  for (const EditMenuItem& item : EditMenuItems(menu_id))
    edit_menu_.emplace_back(this, TrimRight(item.caption), item.right, item.operation, screen);
  if (edit_menu_.empty()) edit_menu_.emplace_back(this, kNoOperations, 0, "", nullptr);
  building_menu_ = false;
  ws_.MenuChanged();
}

bool Desktop::ChooseEdit(const std::string& caption) {
  std::string want = TrimRight(caption);
  for (const auto& e : edit_menu_) {
    if (e.caption == want) {
      EditAction action = e;  // running it may rebuild the menu
      return action.Run();
    }
  }
  return false;
}

void Desktop::SetTimer(const WDIAG* owner, int id, int64_t period_ms, std::function<void()> fn) {
  KillTimer(owner, id);
  int64_t now = CurrentClock().TickMs();
  timers_.push_back({owner, id, period_ms, now + period_ms, std::move(fn)});
}

void Desktop::KillTimer(const WDIAG* owner, int id) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.owner == owner && t.id == id; }),
                timers_.end());
}

void Desktop::KillTimers(const WDIAG* owner) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.owner == owner; }),
                timers_.end());
}

int Desktop::RunDueTimers() {
  int64_t now = CurrentClock().TickMs();
  std::vector<std::pair<const WDIAG*, int>> due;
  for (auto& t : timers_) {
    if (t.due <= now) {
      t.due = now + t.period;
      due.emplace_back(t.owner, t.id);
    }
  }
  int ran = 0;
  for (const auto& [owner, id] : due) {
    // A timer may have been killed by one that ran before it.
    for (const auto& t : timers_) {
      if (t.owner == owner && t.id == id) {
        auto fn = t.fn;
        fn();
        ++ran;
        break;
      }
    }
  }
  return ran;
}

void DO_ACTION(Desktop& desktop, int menu_id, const std::function<void()>& action) {
  desktop.set_xid_menu(menu_id);
  if (action) action();
}

int DIALOG_BOX(Desktop& desktop, const std::string& template_name, WDIAG* owner, DialogProc proc) {
  // 1. the window and control that have the focus;
  WDIAG* focus_window = desktop.focus_window();
  int focus_id = focus_window ? focus_window->focus() : 0;
  // 2. the active child is shown inactive while the dialog runs;
  WDIAG* child = desktop.active();
  if (child) {
    child->SendMessage(kWmNcActivate, 0);
    child->SendMessage(kWmMdiActivate, 0);
  }
  // 3. the dialog-usage log;
  if (g_log_hook) g_log_hook(owner, template_name);
  // 4. the dialog itself;
  int result = 2;
  {
    // The window behind the dialog (its owner, else the active screen) and
    // every "Editar" entry are out of use until it closes.
    WDIAG* behind = owner ? owner : child;
    bool behind_was_enabled = behind && behind->window_enabled();
    if (behind_was_enabled) behind->ENABLEWINDOW(false);
    desktop.ModalBegins();
    // A hosted screen may be collected meanwhile; any other owner (the
    // toolbar, an outer dialog) outlives the dialog.
    struct Restore {
      Desktop& d;
      WDIAG* w;
      bool on;
      bool hosted;
      ~Restore() {
        if (on && (!hosted || d.Alive(w))) w->ENABLEWINDOW(true);
        d.ModalEnds();
      }
    } restore{desktop, behind, behind_was_enabled, desktop.Alive(behind)};
    WDIAG dlg(desktop, owner, template_name);
    if (dlg.INIT().ok()) {
      dlg.proc = std::move(proc);
      dlg.SendMessage(kWmInitDialog);
      if (!dlg.ended()) desktop.window_system().RunModal(dlg);
      result = dlg.ended() ? dlg.result() : 2;
    }
  }
  // 5. the child active again, the focus where it was.
  auto alive = [&](WDIAG* w) {
    auto ws = desktop.windows();
    return w && std::find(ws.begin(), ws.end(), w) != ws.end();
  };
  if (alive(child)) {
    child->SendMessage(kWmNcActivate, 1);
    child->SendMessage(kWmMdiActivate, 1);
  }
  if (alive(focus_window)) focus_window->SetFocus(focus_id);
  return result;
}

WAIT::WAIT(WDIAG* owner, const std::string& text)
    : desktop_(owner ? &owner->desktop() : CurrentDesktop()) {
  if (!desktop_) return;
  id_ = desktop_->NextWaitId();
  open_ = true;
  desktop_->window_system().WaitShown(id_, text);
}

WAIT::~WAIT() {
  TERMINAR();
}

void WAIT::PUT_TEXT(const std::string& text) {
  if (open_) desktop_->window_system().WaitShown(id_, text);
}

void WAIT::TERMINAR() {
  if (!open_) return;
  open_ = false;
  desktop_->window_system().WaitClosed(id_);
}

}  // namespace qz
