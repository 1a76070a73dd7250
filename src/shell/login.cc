#include "shell/login.h"

#include "lib/data/server_engine.h"
#include "lib/errors/error_handler.h"
#include "lib/ini/private_profile.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "shell/shell_tables.h"
#include "shell/sound.h"

namespace qz {
namespace {

constexpr const char* kGlobalLock = "Se encuentra globalmente bloqueado el Acceso al Sistema\r";

void WriteLastBusiness(const std::string& code) {
  WritePrivateProfileString("LAST_NEG", "LAST_NEG", RTrim(code), QuartzelIni());
}

bool GloballyLocked() {
  if (!ShellTableExists("F_SYS")) return false;
  TablePtr t = OpenShellTable("F_SYS", "", true);
  if (!t) return false;
  t->GoTop();
  return !t->Eof() && IntField(*t, "BLOQUEADO") == 1;
}

}  // namespace

bool FillBusinessCombo(WDIAG& dlg, int combo_id) {
  dlg.ClearEntries(combo_id);
  TablePtr t = OpenShellTable("NEGOCIOS", "NEGOCIOS");
  if (!t) return false;
  for (t->GoTop(); !t->Eof(); t->Skip())
    dlg.AddEntry(combo_id, TextField(*t, "DESCRIP"), BusinessKey(RawField(*t, "CODIGO")));
  KILLTABLA(t);
  return true;
}

bool SelectBusiness(WDIAG& dlg, int combo_id, const std::string& code) {
  const ControlState* c = dlg.Control(combo_id);
  if (!c) return false;
  for (size_t i = 0; i < c->entries.size(); ++i) {
    if (c->entries[i].cargo == BusinessKey(code)) {
      dlg.SetCurrent(combo_id, static_cast<int>(i));
      return true;
    }
  }
  return false;
}

std::string SelectedCode(const WDIAG& dlg, int combo_id) {
  const ControlState* c = dlg.Control(combo_id);
  if (!c || c->current < 0 || c->current >= static_cast<int>(c->entries.size())) return "";
  return c->entries[c->current].cargo;
}

std::optional<LoginResult> UserLogin::Login(const std::string& title) {
  title_ = title;
  attempts_.Reset();
  int r = DIALOG_BOX(
      desktop_, "XLOGINUSR", nullptr,
      [this](WDIAG& dlg, int msg, int64_t wparam, int64_t) { return CtrlLogin(dlg, msg, wparam); });
  if (r != 1) return std::nullopt;
  return LoginResult{uName, uComp, uUsuario};
}

void UserLogin::FillBusinesses(WDIAG& dlg) {
  if (!FillBusinessCombo(dlg, kBusiness)) return;
  std::string last = GetPrivateProfileString("LAST_NEG", "LAST_NEG", "", QuartzelIni());
  if (!SelectBusiness(dlg, kBusiness, last) && !dlg.Control(kBusiness)->entries.empty())
    dlg.SetCurrent(kBusiness, 0);
}

int UserLogin::CtrlLogin(WDIAG& dlg, int msg, int64_t wparam) {
  if (msg == kWmInitDialog) {
    dlg.SetTitle(title_);
    RunOperation([&] { FillBusinesses(dlg); });
    if (IsServerEngine()) {
      ServerInfo info = ServerManagementInfo();
      dlg.SetText(kSessionsLabel, "Sesiones: " + std::to_string(info.sessions));
      dlg.SetText(kVersionLabel, "Versión: " + info.version);
    }
    dlg.SetFocus(kUserName);
    WDIAG* d = &dlg;
    // Someone asking everybody to leave also closes the door to new logins.
    desktop_.SetTimer(d, 1, kBlockFileCheckMs, [d] {
      if (ReadExitRequest().present) d->ENDDIALOG(kCancel);
    });
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == kCancel) {
    dlg.ENDDIALOG(kCancel);
  } else if (wparam == kOk) {
    RunOperation([&] { Ok(dlg); });
  }
  return 1;
}

void UserLogin::Ok(WDIAG& dlg) {
  // Enter in the name field moves on to the password instead of failing.
  if (dlg.focus() == kUserName && dlg.Text(kPassword).empty()) {
    dlg.SetFocus(kPassword);
    return;
  }
  std::string code = SelectedCode(dlg, kBusiness);
  if (code.empty()) {
    MESSAGE_BOX("Debe seleccionar una compañía válida", "Error", kMbIconStop);
    return;
  }
  switch (Verificar(code, dlg.Text(kUserName), dlg.Text(kPassword))) {
    case Verdict::kOk:
      dlg.ENDDIALOG(kOk);
      break;
    case Verdict::kEndProgram:
      dlg.ENDDIALOG(kCancel);
      break;
    case Verdict::kRetry:
      break;
  }
}

UserLogin::Verdict UserLogin::Verificar(const std::string& business, const std::string& name,
                                        const std::string& password) {
  uComp = BusinessKey(business);
  uName = Upper(Trim(name));
  uPass = password;
  TablePtr users = OpenShellTable("USUARIOS", "USUARIOS");
  if (!users) return Verdict::kRetry;
  UserRow user;
  LoginFailure failure = CheckUserPassword(*users, uComp, uName, password, &user);
  Verdict verdict = Verdict::kOk;
  // The rules below read the row the seek found: a blank one (never a
  // supervisor) for an unknown name.
  const bool supervisor = user.supervisor == 1;
  if (GloballyLocked()) {
    if (supervisor) {
      MESSAGE_BOX(std::string(kGlobalLock) + "En su calidad de Supervisor, recuerde desbloquear...",
                  "ATENCION", kMbIconStop);
    } else {
      MESSAGE_BOX(std::string(kGlobalLock) + "Se le notificará cuando tenga Acceso nuevamente...",
                  "ATENCION", kMbIconStop);
      verdict = Verdict::kEndProgram;
    }
  }
  if (verdict == Verdict::kOk && ReadExitRequest().ForThisProgram()) {
    if (supervisor) {
      MESSAGE_BOX(std::string(kGlobalLock) + "En su calidad de Supervisor, se le permite entrar...",
                  "ATENCION", kMbIconStop);
    } else {
      MESSAGE_BOX(std::string(kGlobalLock) + "Se le notificará cuando tenga Acceso nuevamente...",
                  "ATENCION", kMbIconStop);
      verdict = Verdict::kEndProgram;
    }
  }
  if (verdict == Verdict::kOk && user.bloqueado == 1 && !supervisor) {
    MESSAGE_BOX(kUserBlocked, "ERROR", kMbIconStop);
    verdict = Verdict::kEndProgram;
  }
  if (verdict == Verdict::kOk) {
    if (failure == LoginFailure::kNone) {
      G().XU_COMP = uComp;
      uUsuario = user.usuario;
      SetSessionGlobals(user);
      PlaySystemSound(G().PATH + "QUARTZEL.WAV");
    } else {
      MESSAGE_BOX(kAccessDenied, "Serie Quartzel", kMbIconWarning);
      if (attempts_.CountFailure(ReadBusiness(uComp))) {
        MESSAGE_BOX(kTooManyAttempts, "ERROR", kMbIconStop);
        if (failure == LoginFailure::kWrongPassword) BlockUser(*users, uComp, user.codigo);
        verdict = Verdict::kEndProgram;
      } else {
        verdict = Verdict::kRetry;
      }
    }
  }
  KILLTABLA(users);
  WriteLastBusiness(uComp);
  return verdict;
}

}  // namespace qz
