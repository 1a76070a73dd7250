#include "shell/password_change.h"

#include <algorithm>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/security/passwords.h"
#include "shell/shell_tables.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

std::string First10(const std::string& utf8) {
  return PadRight(Upper(xb::FromUtf8(utf8)), kPasswordWidth);
}

void Refuse(const std::string& text) {
  MESSAGE_BOX(text, "Error", kMbIconStop);
}

// A scrambled password whose first or last character comes out as a blank
// cannot be read back by the other programs of the suite, which unscramble
// the trimmed field: such a password would lock the user out of them.
bool SurvivesStorage(const std::string& password) {
  std::string stored = PadRight(RTrim(ENCRYPT_STRING(password, 1)), kPasswordWidth);
  return RTrim(DECRYPT_STRING(stored, 1)) == RTrim(password);
}

// Enter in a field moves to the next one, from the last to "Aceptar".
int Ctrl(WDIAG& dlg, int msg, int64_t wparam, PasswordChange& change) {
  if (msg == kWmInitDialog) {
    dlg.SetFocus(kPwCurrent);
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(0);
    return 1;
  }
  if (wparam != 1) return 0;
  const int focus = dlg.focus();
  if ((focus == kPwCurrent || focus == kPwNew) && dlg.Text(kPwVerify).empty()) {
    dlg.SetFocus(focus + 1);
    return 1;
  }
  RunOperation([&] {
    switch (change.Aceptar(dlg.Text(kPwCurrent), dlg.Text(kPwNew), dlg.Text(kPwVerify))) {
      case PasswordChange::Outcome::kChanged:
        dlg.ENDDIALOG(1);
        break;
      case PasswordChange::Outcome::kBlocked:
        dlg.ENDDIALOG(0);
        break;
      case PasswordChange::Outcome::kStay:
        break;
    }
  });
  return 1;
}

}  // namespace

std::optional<int> PasswordLifetime(const BusinessRow& b, const UserRow& u) {
  if (!b.has_dias_clave || !u.has_dias_clave) return std::nullopt;
  if (b.dias_clave > 0 && u.dias_clave > 0) return std::min(b.dias_clave, u.dias_clave);
  if (b.dias_clave > 0) return b.dias_clave;
  if (u.dias_clave > 0) return u.dias_clave;
  return std::nullopt;
}

bool PasswordExpired(const std::string& business, int user_number) {
  const Globals& g = G();
  if (!g.XFECHA_CLAVE) return false;
  BusinessRow b = ReadBusiness(business);
  TablePtr users = OpenShellTable("USUARIOS", "USUARIO3", true);
  if (!users || !users->Seek(BusinessKey(business) + Str(user_number, 4))) return false;
  std::optional<int> life = PasswordLifetime(b, ReadUserRow(*users));
  return life && XDATE() - *g.XFECHA_CLAVE > *life;
}

PasswordChange::PasswordChange(std::string business, int origin, std::optional<int> user_number,
                               std::string user_name)
    : business_(BusinessKey(business)),
      origin_(origin),
      user_number_(user_number),
      user_name_(std::move(user_name)) {}

bool PasswordChange::FindUser(WDBTable& users) {
  if (user_number_) {
    users.SetOrder("USUARIO3");
    return users.Seek(business_ + Str(*user_number_, 4));
  }
  users.SetOrder("USUARIOS");
  return users.Seek(business_ + UserNameKey(users, user_name_));
}

PasswordChange::Outcome PasswordChange::Aceptar(const std::string& current_utf8,
                                                const std::string& new_utf8,
                                                const std::string& verify_utf8) {
  TablePtr users = OpenShellTable("USUARIOS", "USUARIOS");
  if (!users) return Outcome::kStay;
  if (!FindUser(*users)) {
    Refuse("Usuario Inexistente");
    return Outcome::kStay;
  }
  UserRow user = ReadUserRow(*users);
  BusinessRow b = ReadBusiness(business_);
  const std::string current = First10(current_utf8), nuevo = First10(new_utf8),
                    verify = First10(verify_utf8);
  const int minimum = std::max({b.size_clave, user.size_clave, 3});
  if (static_cast<int>(Trim(nuevo).size()) < minimum) {
    Refuse("La Clave Nueva debe tener al menos " + std::to_string(minimum) + " dígitos");
    return Outcome::kStay;
  }
  const int mode = HasField(*users, "ADASIPA") ? user.adasipa : 0;
  if (!PasswordMatches(current, user.password, mode)) {
    Refuse("La Clave de Acceso Actual no coincide con la verificación");
    if (attempts_.CountFailure(b, true)) {
      MESSAGE_BOX(kTooManyAttempts, "ERROR", kMbIconStop);
      BlockUser(*users, business_, user.codigo);
      return Outcome::kBlocked;
    }
    return Outcome::kStay;
  }
  if (nuevo != verify) {
    Refuse("La Clave de Acceso Nueva no coincide con la verificación");
    return Outcome::kStay;
  }
  if (nuevo == current) {
    Refuse("La Clave de Acceso Nueva no puede ser igual a la actual");
    return Outcome::kStay;
  }
  if (!SurvivesStorage(nuevo)) {
    Refuse("La Clave Nueva no puede empezar ni terminar con ese carácter");
    return Outcome::kStay;
  }
  const std::string old_scrambled = ENCRYPT_STRING(current, 1);
  const std::string new_scrambled = ENCRYPT_STRING(nuevo, 1);
  users->GoTo(user.recno);
  LOCK_FOR_MODIFY(*users);
  PutRaw(*users, "PASSWORD", new_scrambled);
  PutNum(*users, "ADASIPA", 1);
  const int32_t today = XDATE();
  PutDate(*users, "F_CLAVE", today);
  PutText(*users, "H_CLAVE", XTIME());
  PutText(*users, "INFO_CLAVE", WorkstationStamp());
  UNLOCK_FOR_MODIFY(*users);
  if (HasField(*users, "ADASIPA")) LOG_PASSWORD(old_scrambled, new_scrambled, user, origin_);
  KILLTABLA(users);
  if (G().XUSER_NUMBER && *G().XUSER_NUMBER == user.codigo) G().XFECHA_CLAVE = today;
  MESSAGE_BOX("La Clave fue actualizada con Éxito", "Informe", kMbIconInformation);
  return Outcome::kChanged;
}

void LOG_PASSWORD(const std::string& old_scrambled, const std::string& new_scrambled,
                  const UserRow& user, int origin) {
  if (!ShellTableExists("ADASIPA")) return;
  TablePtr log = OpenShellTable("ADASIPA", "");
  if (!log) return;
  ADD_NEW_REC(*log);
  PutText(*log, "INFO_USER", WorkstationStamp());
  PutText(*log, "USUARIO", G().XUSER_ABREVIA);
  PutRaw(*log, "P1", old_scrambled);
  PutRaw(*log, "P2", new_scrambled);
  PutDate(*log, "FECHA", XDATE());
  PutText(*log, "HORA", XTIME());
  PutText(*log, "NOMBRE", user.nombre);
  PutNum(*log, "ORIGEN", origin);
  UNLOCK_NEW_REC(*log);
  KILLTABLA(log);
}

int ACT_CLAVE(Desktop& desktop, const std::string& business) {
  const Globals& g = G();
  if (!g.XFECHA_CLAVE) return 1;
  PasswordChange change(business, 1, g.XUSER_NUMBER.value_or(0), "");
  int r = DIALOG_BOX(
      desktop, "ACT_CLAVE", nullptr,
      [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) { return Ctrl(dlg, msg, wparam, change); });
  return r == 1 ? 1 : 0;
}

void CH_PASSWD(Desktop& desktop, const std::string& business, const std::string& user_name,
               const std::function<void()>& lock_application) {
  UserRow user;
  {
    TablePtr users = OpenShellTable("USUARIOS", "USUARIOS");
    if (!users) return;
    if (users->Seek(BusinessKey(business) + UserNameKey(*users, user_name)))
      user = ReadUserRow(*users);
  }
  if (!user.found) {
    MESSAGE_BOX("Usuario desconocido...", "Error", kMbIconStop);
    return;
  }
  if (user.permiso1 != 1 && user.supervisor != 1) {
    MESSAGE_BOX("No es permitido el Cambio de Clave...", "Atención", kMbIconWarning);
    return;
  }
  PasswordChange change(business, 2, std::nullopt, user_name);
  bool blocked = false;
  DIALOG_BOX(desktop, "CH_PASSWD", nullptr, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    int r = Ctrl(dlg, msg, wparam, change);
    if (dlg.ended() && dlg.result() == 0 && wparam == 1) blocked = true;
    return r;
  });
  if (blocked && user.supervisor != 1) {
    if (lock_application) lock_application();
    MESSAGE_BOX("APLICACION BLOQUEADA!", "ATENCION", kMbIconStop);
  }
}

}  // namespace qz
