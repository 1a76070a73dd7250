#include "shell/toolbar.h"

#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "shell/exchange_check.h"
#include "shell/keyboard.h"
#include "shell/login.h"
#include "shell/prices.h"
#include "shell/principal.h"
#include "shell/shell_tables.h"
#include "shell/traduct.h"

namespace qz {

namespace {

const char* ToolbarTemplate(int cash_kind) {
  if (cash_kind == kTimeshareToolbar) return "TOOLBAR_CAJA2";
  return HasCashButton(cash_kind) ? "TOOLBAR_CAJA" : "TOOLBAR";
}

}  // namespace

MToolBar::MToolBar(Desktop& desktop, PRINCIPAL& main, int cash_kind)
    : WDIAG(desktop, nullptr, ToolbarTemplate(cash_kind)), main_(main), cash_kind_(cash_kind) {}

MToolBar::~MToolBar() {
  if (CurrentCashButton() == this) SetCashButton(nullptr);
  desktop().KillTimers(this);
}

void MToolBar::CHANGE_CAJA(int open) {
  ShowCashIcon(kCashButtonId, qz::CashIcon(open == 1));
}

void MToolBar::CHANGE_CAJA2(int open) {
  ShowCashIcon(kCashButton2Id, qz::CashIcon(open == 1));
}

void MToolBar::ShowCashIcon(int button_id, const std::string& bitmap) {
  if (!Control(button_id)) return;
  cash_icons_[button_id] = bitmap;
  if (icon_changed) icon_changed(button_id, bitmap);
}

std::string MToolBar::CashIcon(int button_id) const {
  auto it = cash_icons_.find(button_id);
  return it == cash_icons_.end() ? std::string() : it->second;
}

void MToolBar::Init() {
  I_am_Out = true;
  if (!INIT().ok()) return;
  ADD(kKeyboard, [this] { GO_TECLADO(); });
  if (HasCashButton(cash_kind_)) {
    SetCashButton(this);
    CHANGE_CAJA(0);
    ADD(kCashButtonId, [this] {
      RunOperation([this] { OpenCashWindow(desktop(), this, cash_kind_, 1, GET_NEGOCIO()); });
    });
    if (cash_kind_ == kTimeshareToolbar) {
      CHANGE_CAJA2(0);
      ADD(kCashButton2Id, [this] {
        RunOperation([this] { OpenCashWindow(desktop(), this, cash_kind_, 2, GET_NEGOCIO()); });
      });
    }
  }
  LOAD_NEGOCIOS();
  SETNEGOCIO();
  LOAD_TRADUCT(Cur_Neg);
  Prec_Auto = 0;
  if (ShellTableExists("F_INV")) {
    if (TablePtr t = OpenShellTable("F_INV", "", true); t && HasField(*t, "PREC_AUTO")) {
      t->GoTop();
      Prec_Auto = IntField(*t, "PREC_AUTO");
    }
  }
  if (Prec_Auto == 1)
    desktop().SetTimer(this, kPricesTimer, kPricesMs, [this] {
      main_.Post([this] { RunOperation([this] { CHEQUEA_PRECIOS(); }); });
    });
}

void MToolBar::LOAD_NEGOCIOS() {
  FillBusinessCombo(*this, kBusiness);
}

std::string MToolBar::RET_NEGOCIO() const {
  return SelectedCode(*this, kBusiness);
}

std::string MToolBar::GET_NEGOCIO() {
  std::string code = RET_NEGOCIO();
  if (!code.empty()) {
    BusinessRow b = ReadBusiness(code);
    if (b.found) {
      G().XLOGOFILE = b.logo;
      XLOGO2 = b.logo2;
    }
  }
  return code;
}

void MToolBar::SETNEGOCIO(const std::string& code) {
  const ControlState* c = Control(kBusiness);
  if (!c || c->entries.empty()) return;
  if (code.empty()) {
    SetCurrent(kBusiness, 0);
  } else if (!SelectBusiness(*this, kBusiness, code)) {
    return;
  }
  Cur_Neg = RET_NEGOCIO();
  shown_business_ = Control(kBusiness)->current;
}

UserRow MToolBar::LOAD_DERECHOS(const std::string& user_name) {
  const std::string business = RET_NEGOCIO();
  UserRow u = main_.rights().LoadForToolbar(business, user_name);
  // The impossible user of a pending change leaves the session's user
  // globals alone: only the rights are withdrawn meanwhile.
  if (u.found) {
    Globals& g = G();
    g.XSUPERACCESS = u.supervisor == 1 ? 1 : 0;
    g.XUSER_NUMBER = u.codigo;
    g.XUSER_ABREVIA = u.abrevia;
    g.XBUTTON_STYLE = u.buttonstyl == 1 ? 0 : (u.buttonstyl == 2 ? 5 : 3);
    SetDbAccess(u.subbase);
    g.XDO_CHAT = u.no_chat;
    SetText(kUserBox, g.XUSER_ABREVIA);
  }
  return u;
}

void MToolBar::OnActed() {
  const ControlState* c = Control(kBusiness);
  if (!c || c->current == shown_business_ || !I_am_Out) return;
  shown_business_ = c->current;
  PROC_NEGOCIOS();
}

bool MToolBar::ChooseBusiness(const std::string& descrip) {
  if (!UserChoose(kBusiness, descrip)) return false;
  OnActed();
  desktop().Collect();
  return true;
}

void MToolBar::PROC_NEGOCIOS() {
  const std::string previous = uName;
  const std::string code = RET_NEGOCIO();
  uName.clear();
  I_am_Out = false;
  main_.rights().ClearEditCache();
  RunOperation([this] { LOAD_DERECHOS(ImpossibleUser()); });
  main_.MenuSet("", RET_NEGOCIO(), false);
  ENABLEWINDOW(false);
  bool ok = false;
  RunOperation([&] { ok = CompanyAccess(code, previous); });
  ENABLEWINDOW(true);
  I_am_Out = true;
  // Whatever closed the dialog other than a successful "&Ok" (its own
  // button, Escape, its frame, a fault) is a cancellation: the previous
  // business and rights come back.
  if (ok) {
    main_.Post([this] { RunOperation([this] { BusinessChanged(); }); });
    main_.PostMessage(kMsgBusinessChanged);
  } else {
    uName = previous;
    main_.Post([this] { RunOperation([this] { BusinessCancelled(); }); });
  }
}

bool MToolBar::CompanyAccess(const std::string& code, const std::string& current_user) {
  AttemptCounter attempts;
  std::string typed_name;
  int r = DIALOG_BOX(desktop(), "CHANGE_NEG", this,
                     [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) -> int {
                       if (msg == kWmInitDialog) {
                         dlg.SetText(kAccessName, current_user);
                         dlg.SetFocus(current_user.empty() ? kAccessName : kAccessPassword);
                         return 1;
                       }
                       if (msg != kWmCommand) return 0;
                       if (wparam == 2) {
                         dlg.ENDDIALOG(2);
                       } else if (wparam == kAccessKeyboard) {
                         TECLADO(desktop(), &dlg, dlg.focus());
                       } else if (wparam == 1) {
                         if (dlg.focus() == kAccessName && dlg.Text(kAccessPassword).empty()) {
                           dlg.SetFocus(kAccessPassword);
                           return 1;
                         }
                         bool limit = false;
                         if (VerifyAccess(dlg, code, attempts, &limit)) {
                           typed_name = Upper(Trim(dlg.Text(kAccessName)));
                           dlg.ENDDIALOG(1);
                         } else if (limit) {
                           dlg.ENDDIALOG(2);
                         }
                       }
                       return 1;
                     });
  if (r != 1) return false;
  uName = typed_name;
  return true;
}

bool MToolBar::VerifyAccess(WDIAG& dlg, const std::string& code, AttemptCounter& attempts,
                            bool* limit) {
  TablePtr users = OpenShellTable("USUARIOS", "USUARIOS");
  if (!users) return false;
  UserRow user;
  LoginFailure failure =
      CheckUserPassword(*users, code, dlg.Text(kAccessName), dlg.Text(kAccessPassword), &user);
  if (failure == LoginFailure::kNone) {
    if (user.bloqueado == 1 && user.supervisor != 1) {
      MESSAGE_BOX(kUserBlocked, "ERROR", kMbIconStop);
      return false;
    }
    Globals& g = G();
    g.XSUPERACCESS = user.supervisor == 1 ? 1 : 0;
    g.XUSER_NUMBER = user.codigo;
    g.XIDIOMA = user.idioma + 1;
    g.XFECHA_CLAVE = user.f_clave;
    g.XNO_SALIR = user.no_salir;
    g.XUSER_ABREVIA = user.abrevia;
    SetDbAccess(user.subbase);
    g.XDO_CHAT = user.no_chat;
    return true;
  }
  MESSAGE_BOX(kAccessDenied, "Serie Quartzel", kMbIconWarning);
  if (attempts.CountFailure(ReadBusiness(code))) {
    MESSAGE_BOX(kTooManyAttempts, "ERROR", kMbIconStop);
    if (failure == LoginFailure::kWrongPassword) BlockUser(*users, code, user.codigo);
    *limit = true;
  }
  return false;
}

void MToolBar::BusinessChanged() {
  if (uName.empty()) {
    SETNEGOCIO(Cur_Neg);
    return;
  }
  Globals& g = G();
  g.XU_COMP = RET_NEGOCIO();
  main_.rights().ClearEditCache();
  LOAD_DERECHOS(uName);
  const std::string business = main_.rights().ACT_NEG();
  LOAD_TRADUCT(business);
  main_.MenuSet("", business, false);
  Cur_Neg = business;
  shown_business_ = Control(kBusiness)->current;
  CHECK_CAMBIO(business);
  if (BusinessRow b = ReadBusiness(business); b.has_manejo_tc) g.XMANEJO_TC = b.manejo_tc;
  main_.view().StatusChanged();
}

void MToolBar::BusinessCancelled() {
  SETNEGOCIO(Cur_Neg);
  LOAD_DERECHOS(uName);
  main_.MenuSet("", Cur_Neg, false);
}

void MToolBar::CHEQUEA_PRECIOS() {
  if (G().IN_CH_STRUC == 1 || Prec_Auto == 0) return;
  APLICA_PRECIOS(Cur_Neg);
}

void MToolBar::GO_TECLADO() {
  WDIAG* target = desktop().focus_window();
  TECLADO(desktop(), target, target ? target->focus() : 0);
}

}  // namespace qz
