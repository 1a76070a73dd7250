// The users screen's dialogs: a user (EDIT_USER), a profile (EDIT_PERFIL),
// the business's password policy (E_CLAVE); deleting users and profiles and
// giving a user a profile's rights.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "lib/data/locking.h"
#include "lib/data/patience.h"
#include "lib/errors/error_handler.h"
#include "lib/security/passwords.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "shell/password_change.h"
#include "shell/rights.h"
#include "shell/shell_screens.h"
#include "shell/shell_tables.h"
#include "shell/user_admin.h"
#include "shell/users.h"
#include "xbase/codepage.h"

namespace qz {

namespace {

enum UserControl : int {
  kFullName = 500,
  kLogin = 501,
  kPassword = 502,
  kConfirm = 503,
  kAbbreviation = 504,
  kLifetime = 505,
  kMinLength = 506,
  kLastEntry = 507,
  kLastBlocked = 508,
  kLastChange = 509,
  kOverbooking = 510,
  kSubBase = 601,
  kLanguage = 602,
  kSupervisor = 1001,
};

// The flags of the user row, by check box.
const std::pair<int, const char*> kFlags[] = {
    {1001, "SUPERVISOR"}, {1002, "PERMISO1"}, {1003, "BLOQUEADO"}, {1004, "PRECIO_ESP"},
    {1005, "NO_SALIR"},   {1006, "NO_CHAT"},  {1007, "T_SESION"},
};

// Passwords are typed and compared in upper case, as at the login.
std::string PasswordBytes(const std::string& utf8) {
  return PadRight(Upper(xb::FromUtf8(utf8)), kPasswordWidth);
}

int CountSupervisors(WDBTable& users, const std::string& business) {
  const uint32_t keep = users.RecNo();
  int n = 0;
  users.Seek(business, true);
  for (; !users.Eof() && RawField(users, "NEGOCIO") == business; users.Skip())
    n += IntField(users, "SUPERVISOR") == 1 ? 1 : 0;
  users.GoTo(keep);
  return n;
}

// A new row of `t` with the smallest free CODIGO, appended while the table
// is locked whole, so two workstations adding at once never take one code.
int AppendWithFreeCode(WDBTable& t, const std::string& business) {
  Patience p;
  p.counter = RetryCounter::kLocks;
  p.message = "El archivo se encuentra bloqueado por otro usuario";
  p.operation = "FLOCK";
  p.step = true;
  RetryPatiently([&] { return t.FLock() ? xb::Status::OK() : xb::Status::Busy("FLOCK"); }, p);
  const int code = SmallestFreeCode(t);
  ADD_NEW_REC(t);
  PutRaw(t, "NEGOCIO", business);
  PutNum(t, "CODIGO", code);
  UNLOCK_NEW_REC(t);  // releases the table lock too
  return code;
}

}  // namespace

// The user dialog in add (mode 0) or modify (mode 1) mode.
class UserEditor {
 public:
  UserEditor(USUARIOS& screen, int mode) : s_(screen), mode_(mode) {}

  void Run() {
    if (mode_ == 1) {
      if (!s_.SelectUser()) return;
      loaded_ = ReadUserRow(*s_.users_);
      recno_ = loaded_.recno;
    }
    DIALOG_BOX(s_.desktop(), "EDIT_USER", &s_, [this](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
      if (msg == kWmInitDialog) {
        Fill(dlg);
        return 1;
      }
      if (msg != kWmCommand) return 0;
      if (wparam == 2) dlg.ENDDIALOG(2);
      if (wparam == 1 && Accept(dlg)) dlg.ENDDIALOG(1);
      return 1;
    });
  }

 private:
  void Fill(WDIAG& dlg) {
    CCOMBOBOX sub(dlg, kSubBase);
    sub.ADD("Base de Datos Principal", "  ");
    WDBTable& sb = *s_.subbases_;
    for (sb.GoTop(); !sb.Eof(); sb.Skip())
      sub.ADD(TextField(sb, "DESCRIP"), PadRight(RawField(sb, "CODIGO"), 2));
    CCOMBOBOX lang(dlg, kLanguage);
    lang.ADD("Español", "0");
    lang.ADD("2ª Idioma", "1");
    if (mode_ == 0) {
      sub.SEEKCARGO("  ");
      lang.SEEKCARGO("0");
      dlg.SetFocus(kFullName);
      return;
    }
    WDBTable& u = *s_.users_;
    dlg.SetText(kFullName, TextField(u, "USUARIO"));
    dlg.SetText(kLogin, TextField(u, "NOMBRE"));
    dlg.SetText(kAbbreviation, TextField(u, "ABREVIA"));
    dlg.SetText(kLifetime, std::to_string(IntField(u, "DIAS_CLAVE")));
    dlg.SetText(kMinLength, std::to_string(IntField(u, "SIZE_CLAVE")));
    dlg.SetText(kOverbooking, TextField(u, "SOBREVENTA"));
    dlg.SetText(kLastEntry, TextField(u, "INFO_ENTER"));
    dlg.SetText(kLastBlocked, TextField(u, "INFO_BLOQ"));
    dlg.SetText(kLastChange, TextField(u, "INFO_CLAVE"));
    for (const auto& [id, field] : kFlags) dlg.SetCheck(id, IntField(u, field) == 1 ? 1 : 0);
    if (!sub.SEEKCARGO(PadRight(RawField(u, "SUBBASE"), 2))) sub.SEEKCARGO("  ");
    lang.SEEKCARGO(std::to_string(IntField(u, "IDIOMA")));
    // The password is never shown, not even masked: a blank field keeps it,
    // a new one typed twice replaces it.
    dlg.SetFocus(kFullName);
  }

  bool Refuse(const std::string& text, const std::string& title = "Error") {
    MESSAGE_BOX(text, title, kMbIconStop);
    return false;
  }

  bool Accept(WDIAG& dlg) {
    WDBTable& u = *s_.users_;
    const std::string& business = s_.business_;
    if (mode_ == 1) {
      // The row the form loaded must still be there (another workstation
      // may have deleted it meanwhile).
      u.GoTo(recno_);
      if (u.Eof() || u.Deleted() || RawField(u, "NEGOCIO") != business ||
          IntField(u, "CODIGO") != loaded_.codigo)
        return Refuse(kRowDeletedMeanwhileText);
      if (loaded_.supervisor == 1 && !dlg.Check(kSupervisor) &&
          CountSupervisors(u, business) == 1) {
        MESSAGE_BOX(
            "Debe haber al menos un usuario Supervisor.\r\nEn vista de que no existe tal "
            "Supervisor, \r\nel presente usuario será designado como   \r\nSupervisor.  Queda a "
            "su criterio crear un \r\nnuevo Supervisor, o dejar el presente.\r\n",
            "ERROR", kMbIconStop);
        dlg.SetCheck(kSupervisor, 1);
      }
    }
    if (Trim(dlg.Text(kAbbreviation)).empty())
      return Refuse("Debe definirse la Abreviatura del Usuario");
    const std::string login = Trim(dlg.Text(kLogin));
    if (login.empty()) return Refuse("Debe definirse el ID de Entrada del Usuario");
    const std::string typed = Trim(dlg.Text(kPassword));
    const bool keep_password = mode_ == 1 && typed.empty() && Trim(dlg.Text(kConfirm)).empty();
    std::string password;
    if (!keep_password) {
      BusinessRow b = ReadBusiness(business);
      const int minimum =
          std::max({b.size_clave, static_cast<int>(NumberBoxValue(dlg.Text(kMinLength))), 3});
      password = PasswordBytes(dlg.Text(kPassword));
      if (static_cast<int>(Trim(password).size()) < minimum)
        return Refuse("La Clave debe tener al menos " + std::to_string(minimum) + " dígitos",
                      "ATENCION");
      if (password != PasswordBytes(dlg.Text(kConfirm)))
        return Refuse("Clave distinta a Confirmación");
      if (!StorablePassword(RTrim(password)))
        return Refuse("La Clave Nueva no puede empezar ni terminar con ese carácter");
    }
    const std::string name_key = UserNameKey(u, login);
    u.SetOrder("USUARIOS");
    if (u.Seek(business + name_key) && (mode_ == 0 || u.RecNo() != recno_))
      return Refuse("Nombre de Usuario ya existente...");

    UserRow before = loaded_;
    if (mode_ == 0) {
      int code = AppendWithFreeCode(u, business);
      {
        WAIT wait(&s_);
        WriteRightsRows(*s_.menus_, business, code, EmptyDesign());
      }
      u.SetOrder("USUARIO3");
      u.Seek(business + Str(code, 4));
      u.SetOrder("USUARIOS");
      recno_ = u.RecNo();
      before.codigo = code;
    }
    u.GoTo(recno_);
    LOCK_FOR_MODIFY(u);
    PutText(u, "USUARIO", Trim(dlg.Text(kFullName)));
    PutRaw(u, "NOMBRE", name_key);
    PutText(u, "ABREVIA", Trim(dlg.Text(kAbbreviation)));
    const std::string new_scrambled = ENCRYPT_STRING(password, 1);
    if (!keep_password) {
      PutRaw(u, "PASSWORD", new_scrambled);
      PutNum(u, "ADASIPA", 1);
    }
    for (const auto& [id, field] : kFlags) PutNum(u, field, dlg.Check(id) ? 1 : 0);
    PutNum(u, "DIAS_CLAVE", NumberBoxValue(dlg.Text(kLifetime)));
    PutNum(u, "SIZE_CLAVE", NumberBoxValue(dlg.Text(kMinLength)));
    PutText(u, "SOBREVENTA", dlg.Text(kOverbooking));
    const int language = std::atoi(CCOMBOBOX(dlg, kLanguage).CURCARGO().value_or("0").c_str());
    PutNum(u, "IDIOMA", language);
    PutRaw(u, "SUBBASE", CCOMBOBOX(dlg, kSubBase).CURCARGO().value_or("  "));
    UNLOCK_FOR_MODIFY(u);
    UserRow after = ReadUserRow(u);
    // The language of the session changes only when the administrator
    // edited the own row.
    Globals& g = G();
    if (g.XUSER_NUMBER && *g.XUSER_NUMBER == after.codigo && BusinessKey(g.XU_COMP) == business &&
        (mode_ == 0 || language != loaded_.idioma))
      g.XIDIOMA = language + 1;
    if (!keep_password) {
      const std::string old_plain =
          mode_ == 0 ? std::string(kPasswordWidth, ' ')
                     : PadRight(DECRYPT_STRING(loaded_.password, loaded_.adasipa), kPasswordWidth);
      if (old_plain != password && HasField(u, "ADASIPA"))
        LOG_PASSWORD(ENCRYPT_STRING(old_plain, 1), new_scrambled, after, 3);
    }
    s_.users_grid_->REFRESHALL();
    s_.users_grid_->SelectRecNo(after.recno);
    return true;
  }

  static constexpr const char* kRowDeletedMeanwhileText =
      "Otro usuario borró este registro mientras usted lo modificaba.\r\n"
      "Sus cambios no se guardaron.";

  USUARIOS& s_;
  int mode_;
  UserRow loaded_;
  uint32_t recno_ = 0;
};

void USUARIOS::AddUser() {
  UserEditor(*this, 0).Run();
}

void USUARIOS::ModifyUser() {
  UserEditor(*this, 1).Run();
}

void USUARIOS::DeleteUser() {
  if (!SelectUser()) return;
  const UserRow user = ReadUserRow(*users_);
  if (MESSAGE_BOX("Desea borrar el Usuario?", "Advertencia", kMbOkCancel | kMbIconWarning) != 1)
    return;
  users_->GoTo(user.recno);
  if (user.supervisor == 1 && CountSupervisors(*users_, business_) == 1) {
    MESSAGE_BOX(
        "Debe haber al menos un Usuario Supervisor.\r\nEn vista de que Ud. esta tratando de "
        "borrar\r\nal unico Supervisor presente, NO se permite\r\nelimiar al usuario.",
        "ERROR", kMbIconStop);
    return;
  }
  {
    WAIT wait(this);
    for (const auto& [table, tag, field] :
         {std::tuple{"F_BROWSE", "F_BROW2", "N_USER"}, std::tuple{"DET_TRA2", "DET_TRA2", "COD_USER"}}) {
      if (!ShellTableExists(table)) continue;
      if (TablePtr t = OpenShellTable(table, tag)) {
        DeleteRowsOf(*t, business_, user.codigo, field);
        KILLTABLA(t);
      }
    }
    DeleteRowsOf(*menus_, business_, user.codigo, "CODIGO");
    users_->GoTo(user.recno);
    if (!users_->Deleted()) DELETE_RECORD(*users_);
  }
  if (loaded_user_ == user.codigo) loaded_user_.reset();
  users_grid_->REFRESHALL();
}

// --- profiles

namespace {

bool EditProfile(USUARIOS& s, WDBTable& profiles, WDBTable& det_perf, int mode) {
  const std::string business = s.business();
  uint32_t recno = mode == 1 ? profiles.RecNo() : 0;
  const int code = mode == 1 ? IntField(profiles, "CODIGO") : 0;
  int r = DIALOG_BOX(s.desktop(), "EDIT_PERFIL", &s, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      if (mode == 1) dlg.SetText(502, TextField(profiles, "DESCRIP"));
      dlg.SetFocus(502);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) dlg.ENDDIALOG(2);
    if (wparam != 1) return 1;
    if (mode == 1) {
      profiles.GoTo(recno);
      if (profiles.Eof() || profiles.Deleted() || IntField(profiles, "CODIGO") != code) {
        MESSAGE_BOX(
            "Otro usuario borró este registro mientras usted lo modificaba.\r\n"
            "Sus cambios no se guardaron.",
            "Error", kMbIconStop);
        return 1;
      }
    } else {
      const int new_code = AppendWithFreeCode(profiles, business);
      {
        WAIT wait(&s);
        WriteRightsRows(det_perf, business, new_code, EmptyDesign());
      }
      profiles.Seek(business + Str(new_code, 8));
      recno = profiles.RecNo();
    }
    profiles.GoTo(recno);
    LOCK_FOR_MODIFY(profiles);
    PutText(profiles, "DESCRIP", Trim(dlg.Text(502)));
    UNLOCK_FOR_MODIFY(profiles);
    dlg.ENDDIALOG(1);
    return 1;
  });
  if (r == 1 && s.profiles_grid()) {
    s.profiles_grid()->REFRESHALL();
    s.profiles_grid()->SelectRecNo(recno);
  }
  return r == 1;
}

}  // namespace

void USUARIOS::AddProfile() {
  EditProfile(*this, *profiles_, *det_perf_, 0);
}

void USUARIOS::ModifyProfile() {
  if (SelectProfile()) EditProfile(*this, *profiles_, *det_perf_, 1);
}

void USUARIOS::DeleteProfile() {
  if (!SelectProfile()) return;
  const uint32_t recno = profiles_->RecNo();
  const int code = IntField(*profiles_, "CODIGO");
  if (MESSAGE_BOX("Desea borrar el Perfil de Usuario?", "Advertencia",
                  kMbOkCancel | kMbIconWarning) != 1)
    return;
  {
    WAIT wait(this);
    DeleteRowsOf(*det_perf_, business_, code, "CODIGO");
    profiles_->GoTo(recno);
    if (!profiles_->Deleted()) DELETE_RECORD(*profiles_);
  }
  profiles_grid_->REFRESHALL();
}

void USUARIOS::AssignProfile() {
  if (!SelectProfile()) return;
  const int profile = IntField(*profiles_, "CODIGO");
  const std::string description = TextField(*profiles_, "DESCRIP");
  if (!SelectUser()) return;
  const int user = IntField(*users_, "CODIGO");
  if (MESSAGE_BOX("Se asignará el Perfil " + description + "\r\nal Usuario " +
                      TextField(*users_, "NOMBRE"),
                  "Advertencia", kMbOkCancel | kMbIconWarning) != 1)
    return;
  {
    WAIT wait(this);
    // Every right of the user becomes the profile's; an id the profile has
    // no row for is not granted.
    WriteRightsRows(*menus_, business_, user, ReadRightsRows(*det_perf_, business_, profile).checks);
  }
  MESSAGE_BOX("Perfil asignado!", "Confirmación", kMbIconInformation);
}

// --- password policy of the business

void USUARIOS::PasswordPolicy() {
  TablePtr neg = OpenShellTable("NEGOCIOS", "NEGOCIOS");
  if (!neg) return;
  if (!neg->Seek(business_)) {
    KILLTABLA(neg);
    return;
  }
  const uint32_t recno = neg->RecNo();
  DIALOG_BOX(desktop(), "E_CLAVE", this, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      dlg.SetText(501, std::to_string(IntField(*neg, "DIAS_CLAVE")));
      dlg.SetText(502, std::to_string(IntField(*neg, "SIZE_CLAVE")));
      dlg.SetText(503, std::to_string(IntField(*neg, "INTENTOS")));
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) dlg.ENDDIALOG(2);
    if (wparam != 1) return 1;
    const struct {
      int id;
      const char* field;
    } boxes[] = {{501, "DIAS_CLAVE"}, {502, "SIZE_CLAVE"}, {503, "INTENTOS"}};
    neg->GoTo(recno);
    for (const auto& b : boxes) {
      // A number wider than the installation's field would not be stored.
      const int pos = neg->FieldPos(b.field);
      if (pos == 0) continue;
      const int width = neg->table().fields()[pos - 1].len;
      if (NumberBoxValue(dlg.Text(b.id)) >= std::pow(10.0, width)) {
        MESSAGE_BOX("El valor no puede tener más de " + std::to_string(width) + " dígitos",
                    "Error", kMbIconStop);
        dlg.SetFocus(b.id);
        return 1;
      }
    }
    LOCK_FOR_MODIFY(*neg);
    for (const auto& b : boxes) PutNum(*neg, b.field, NumberBoxValue(dlg.Text(b.id)));
    UNLOCK_FOR_MODIFY(*neg);
    dlg.ENDDIALOG(1);
    return 1;
  });
  KILLTABLA(neg);
}

}  // namespace qz
