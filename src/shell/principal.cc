#include "shell/principal.h"

#include "lib/data/date_time.h"
#include "lib/data/txt_srch.h"
#include "lib/errors/error_handler.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/settings/installation.h"
#include "lib/ui/edit_menu.h"
#include "lib/ui/message_box.h"
#include "shell/dialog_log.h"
#include "shell/exchange_check.h"
#include "shell/menu_tables.h"
#include "shell/password_change.h"
#include "shell/shell_screens.h"
#include "shell/shell_tables.h"
#include "shell/toolbar.h"
#include "shell/traduct.h"
#include "shell/user_admin.h"

namespace qz {

PRINCIPAL::PRINCIPAL(Desktop& desktop, MainWindowView& view, const MenuRegistry& registry)
    : desktop_(desktop),
      view_(view),
      registry_(registry),
      frame_(desktop, nullptr, "PRINCIPAL"),
      login_(desktop) {
  desktop_.SetRightsCheck([this](int id) { return rights_.GET_R_EDIT(id); });
}

PRINCIPAL::~PRINCIPAL() {
  // A users screen still open must not reach for this window's menu (one
  // that ended is destroyed now, while the menu is there).
  desktop_.Collect();
  for (WDIAG* w : desktop_.windows())
    if (auto* users = dynamic_cast<USUARIOS*>(w)) users->DetachMenu();
  desktop_.KillTimers(&frame_);
  desktop_.SetRightsCheck(nullptr);
  RemoveDialogLog();  // it writes through desktop_, which may go next
  if (toolbar_) desktop_.KillTimers(toolbar_.get());
}

bool PRINCIPAL::Init() {
  Globals& g = G();
  g.EXT_MODULO = "PCFG";
  view_.SetTitle(kTitle);
  RunOperation([] { LoadInstallationSettings(nullptr); });
  InstallDialogLog(desktop_);
  if (!Ingresar()) return false;
  const std::string business = login_.uComp;
  LOAD_TRADUCT(business);
  MenuSet(login_.uName, business, true);
  toolbar_ = std::make_unique<MToolBar>(desktop_, *this, toolbar_kind);
  RunOperation([&] { toolbar_->Init(); });
  toolbar_->SETNEGOCIO(business);
  toolbar_->uName = login_.uName;
  RunOperation([&] { CHECK_CAMBIO(business); });
  if (BusinessRow b = ReadBusiness(business); b.has_manejo_tc) g.XMANEJO_TC = b.manejo_tc;
  RunOperation([] { BORRAR_TEMPS(); });
  toolbar_->SetText(MToolBar::kUserBox, g.XUSER_ABREVIA);
  RunOperation([] { LoadWordIndexRegistry(nullptr); });
  StartTimers();
  RebuildMenu();  // the toolbar's business is known now
  view_.StatusChanged();
  view_.FontsChanged();
  return true;
}

void PRINCIPAL::StartTimers() {
  desktop_.SetTimer(&frame_, kExitCheckTimer, kExitCheckMs, [this] { OnTimer(kExitCheckTimer); });
  desktop_.SetTimer(&frame_, kIdleTimer, 1000, [this] {
    if (idle_.Due()) PostMessage(kMsgLockSession);
  });
  // Posted messages are also handled when the window system has no wake-up.
  desktop_.SetTimer(&frame_, kQueueTimer, 0, [this] { DispatchPosted(); });
}

std::string PRINCIPAL::CurrentBusiness() {
  if (toolbar_) return toolbar_->GET_NEGOCIO();
  return rights_.ACT_NEG();
}

std::vector<std::string> PRINCIPAL::StatusPanes() const {
  const Globals& g = G();
  return {"Listo", "INS", "NUM", "CAPS", g.XUSER_ABREVIA, Trim(rights_.ACT_NEG())};
}

// --- menus

void PRINCIPAL::MenuSet(const std::string& user, const std::string& business, bool reload) {
  rights_.set_no_neg(business.empty());
  if (!business.empty()) rights_.set_ACT_NEG(BusinessKey(business));
  if (reload && !user.empty()) {
    RunOperation([&] { rights_.LoadForMainWindow(rights_.ACT_NEG(), user); });
  }
  RebuildMenu();
}

void PRINCIPAL::RebuildMenu() {
  if (building_menu_ || ended_) return;
  building_menu_ = true;
  next_free_id_ = 30001;
  const std::string business = toolbar_ ? toolbar_->GET_NEGOCIO() : rights_.ACT_NEG();
  MenuBar bar;
  bar.popups.push_back(FilePopup(business));
  bar.popups.push_back(EditPopup());
  for (const MenuDef& popup : ProgramPopups()) bar.popups.push_back(BuildEntry(popup, business));
  bar.popups.push_back(WindowsPopup());
  bar.popups.push_back(AboutPopup());
  bar_ = std::move(bar);
  building_menu_ = false;
  view_.MenuBarChanged(bar_);
}

MenuEntry PRINCIPAL::BuildEntry(const MenuDef& def, const std::string& business) {
  MenuEntry e;
  e.caption = RTrim(def.caption);
  if (!def.items.empty()) {
    for (const MenuDef& item : def.items) e.items.push_back(BuildEntry(item, business));
    return e;
  }
  if (e.caption.empty()) return e;  // separator
  e.right = def.right;
  e.id = def.right != 0 ? def.right : next_free_id_++;
  // While rights are captured every entry can be ticked.
  e.denied = !Captura && rights_.GET_RIGHTS(def.right);
  e.checked = rights_.GET_CHECKS(def.right);
  const std::string screen = def.screen, tmpl = def.tmpl;
  if (screen.empty()) return e;
  const std::string for_business = def.no_business ? std::string() : business;
  std::function<void()> open = ShellScreen(screen, for_business);
  if (!open) {
    if (const ScreenOpener* opener = registry_.Find(screen)) {
      ScreenOpener o = *opener;
      open = [o, for_business, tmpl] { o(for_business, tmpl); };
    }
  }
  e.available = static_cast<bool>(open);
  if (open) {
    const int id = e.id;
    Desktop* d = &desktop_;
    e.action = [d, id, open] { DO_ACTION(*d, id, open); };
  }
  return e;
}

MenuEntry PRINCIPAL::FilePopup(const std::string& business) {
  MenuEntry file;
  file.caption = "&Archivo";
  MenuEntry maint;
  maint.caption = "Mantenimientos";
  for (const MenuDef& d : MaintenanceMenu()) maint.items.push_back(BuildEntry(d, business));
  file.items.push_back(std::move(maint));
  MenuEntry salir;
  salir.caption = "Salir";
  salir.id = next_free_id_++;
  salir.action = [this] { Post([this] { SendMessage(kWmClose); }); };
  file.items.push_back(std::move(salir));
  return file;
}

MenuEntry PRINCIPAL::EditPopup() {
  MenuEntry edit;
  edit.caption = "Editar";
  for (const EditAction& src : desktop_.edit_menu()) {
    MenuEntry e;
    e.caption = src.caption;
    e.right = src.right;
    e.id = src.right != 0 ? src.right : next_free_id_++;
    // Worked out now: the screen's state, an open dialog and the rights of
    // the business in force.
    e.denied = !Captura && src.Denied();
    e.busy = src.has_action() && !src.Denied() && !src.Enabled();
    e.checked = rights_.GET_CHECKS(src.right);
    if (src.has_action()) {
      Desktop* d = &desktop_;
      std::string caption = src.caption;
      e.action = [d, caption] { d->ChooseEdit(caption); };
    }
    edit.items.push_back(std::move(e));
  }
  return edit;
}

MenuEntry PRINCIPAL::WindowsPopup() {
  MenuEntry w;
  w.caption = "Ventanas";
  // The MDI frame arranges its children itself, as Windows does for these
  // entries.
  const std::pair<const char*, std::function<void()>> entries[] = {
      {"Cascada", [this] { view_.Cascade(); }},
      {"Comparativo", [this] { view_.Tile(); }},
      {"Acomodar Iconos", [this] { view_.ArrangeIcons(); }},
      {"Cerrar Todos", [this] { Post([this] { desktop_.CloseAll(); }); }},
  };
  for (const auto& [caption, action] : entries) {
    MenuEntry e;
    e.caption = caption;
    e.id = next_free_id_++;
    e.action = action;
    w.items.push_back(std::move(e));
  }
  return w;
}

MenuEntry PRINCIPAL::AboutPopup() {
  MenuEntry about;
  about.caption = "Acerca de";
  MenuEntry a;
  a.caption = "Acerca &de";
  a.id = next_free_id_++;
  about.items.push_back(std::move(a));
  MenuEntry ads;
  ads.caption = "ADS Config.";
  ads.id = next_free_id_++;
  ads.action = [] { ADS_xINFO(); };
  about.items.push_back(std::move(ads));
  return about;
}

std::function<void()> PRINCIPAL::ShellScreen(const std::string& screen,
                                             const std::string& business) {
  Desktop* d = &desktop_;
  if (screen == "CH_PASSWD")
    return [this, business] {
      CH_PASSWD(desktop_, business, rights_.ACT_USER(), [this] { view_.EnableMainWindow(false); });
    };
  if (screen == "FEC_HORA") return [d] { FEC_HORA(*d); };
  if (screen == "USUARIOS")
    return [this, business] {
      if (!capture_menu_) capture_menu_ = MakeCaptureMenu(*this);
      OpenUsuarios(desktop_, business, capture_menu_.get());
    };
  if (screen == "SYS_FONT")
    return [this, d] {
      DEF_SYSFONT(*d);
      view_.FontsChanged();
    };
  if (screen == "SYS_DB") return [d] { DEF_SYSDB(*d); };
  if (screen == "VIEW_ERRORS") return [d] { OpenViewErrors(*d); };
  if (screen == "VIEW_E_S") return [d] { OpenViewEntries(*d); };
  if (screen == "VIEW_ROLLBACK") return [d, business] { OpenViewRollback(*d, business); };
  return nullptr;
}

bool PRINCIPAL::Command(int id) {
  const MenuEntry* e = bar_.Find(id);
  if (!e) {
    MESSAGE_BOX("Menuitem no encontrado: " + std::to_string(id), "Atención", kMbIconWarning);
    return false;
  }
  if (e->greyed()) return false;
  auto action = e->action;  // the action may rebuild the bar
  RunOperation(action);
  desktop_.Collect();
  return true;
}

bool PRINCIPAL::Choose(const std::vector<std::string>& path) {
  const MenuEntry* e = bar_.FindPath(path);
  if (!e || e->popup()) return false;
  if (e->greyed()) return false;
  auto action = e->action;
  RunOperation(action);
  desktop_.Collect();
  return true;
}

void PRINCIPAL::MenuRightClick(int id) {
  // Only capture mode and supervisors react; the message carries the marker
  // so that an ordinary menu selection is never taken for a right click.
  if (!Captura && G().XSUPERACCESS != 1) return;
  cual = id;
  PostMessage(kWmMenuSelect, id, kCaptureMarker);
}

void PRINCIPAL::CaptureOrUsageLog(int id) {
  if (Captura) {
    if (id < kFirstRight || id > kLastRight) return;
    rights_.SetCheck(id, !rights_.GET_CHECKS(id));
    RebuildMenu();
  } else if (G().XSUPERACCESS == 1) {
    OpenLogDiag(id);
  }
}

void PRINCIPAL::OpenLogDiag(int id) {
  RunOperation([&] { OpenDialogUsageLog(desktop_, id); });
}

}  // namespace qz
