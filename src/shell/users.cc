#include "shell/users.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "lib/data/locking.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/security/passwords.h"
#include "shell/shell_tables.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

// Scrambles the current row's password if it is still plain. The flag is
// read again under the lock: two workstations logging in at once must not
// scramble a row twice.
void ScrambleLocked(WDBTable& users) {
  LOCK_FOR_MODIFY(users);
  if (IntField(users, "ADASIPA") == 0) {
    users.FieldPut("PASSWORD", xb::Value::Char(ENCRYPT_STRING(RawField(users, "PASSWORD"), 1)));
    users.FieldPut("ADASIPA", xb::Value::Number(1));
  }
  UNLOCK_FOR_MODIFY(users);
}

void ScrambleOtherPlainRows(WDBTable& users, const std::string& business) {
  users.SetOrder("USUARIO5");
  const std::string plain = BusinessKey(business) + "0";
  // Each pass takes one row out of the scope; the bound only guards against
  // a row that refuses to change.
  for (uint32_t guard = users.RecCount() + 1; guard > 0 && users.Seek(plain); --guard)
    ScrambleLocked(users);
}

}  // namespace

UserRow ReadUserRow(const WDBTable& u) {
  UserRow r;
  if (u.Eof()) return r;
  r.found = true;
  r.recno = u.RecNo();
  r.codigo = IntField(u, "CODIGO");
  r.nombre = TextField(u, "NOMBRE");
  r.usuario = TextField(u, "USUARIO");
  r.abrevia = TextField(u, "ABREVIA", "XX");
  r.password = RawField(u, "PASSWORD");
  r.adasipa = IntField(u, "ADASIPA");
  r.supervisor = IntField(u, "SUPERVISOR");
  r.permiso1 = IntField(u, "PERMISO1");
  r.bloqueado = IntField(u, "BLOQUEADO");
  r.no_salir = IntField(u, "NO_SALIR");
  r.buttonstyl = IntField(u, "BUTTONSTYL");
  r.idioma = IntField(u, "IDIOMA");
  r.subbase = RawField(u, "SUBBASE");
  r.no_chat = IntField(u, "NO_CHAT");
  r.has_dias_clave = HasField(u, "DIAS_CLAVE");
  r.dias_clave = IntField(u, "DIAS_CLAVE");
  r.size_clave = IntField(u, "SIZE_CLAVE");
  r.f_clave = DateField(u, "F_CLAVE");
  r.username = TextField(u, "USERNAME");
  r.useraddr = TextField(u, "USERADDR");
  return r;
}

BusinessRow ReadBusiness(const std::string& code) {
  BusinessRow b;
  TablePtr t = OpenShellTable("NEGOCIOS", "NEGOCIOS", true);
  if (!t || !t->Seek(BusinessKey(code))) return b;
  b.found = true;
  b.codigo = BusinessKey(RawField(*t, "CODIGO"));
  b.descrip = TextField(*t, "DESCRIP");
  b.logo = TextField(*t, "LOGO");
  b.logo2 = TextField(*t, "LOGO2");
  b.has_intentos = HasField(*t, "INTENTOS");
  b.intentos = IntField(*t, "INTENTOS");
  b.has_dias_clave = HasField(*t, "DIAS_CLAVE");
  b.dias_clave = IntField(*t, "DIAS_CLAVE");
  b.size_clave = IntField(*t, "SIZE_CLAVE");
  b.has_manejo_tc = HasField(*t, "MANEJO_TC");
  b.manejo_tc = IntField(*t, "MANEJO_TC");
  b.has_check_mon = HasField(*t, "CHECK_MON");
  b.check_mon = IntField(*t, "CHECK_MON");
  b.cant_mon = IntField(*t, "CANT_MON");
  b.moneda_con = RawField(*t, "MONEDA_CON");
  KILLTABLA(t);
  return b;
}

std::string UserNameKey(const WDBTable& users, const std::string& typed_utf8) {
  int width = FieldWidthOf(users, "NOMBRE");
  return PadRight(Upper(xb::FromUtf8(typed_utf8)), width > 0 ? width : 20);
}

LoginFailure CheckUserPassword(WDBTable& users, const std::string& business,
                               const std::string& name_utf8, const std::string& password_utf8,
                               UserRow* row) {
  users.SetOrder("USUARIOS");
  const bool found = users.Seek(BusinessKey(business) + UserNameKey(users, name_utf8));
  *row = found ? ReadUserRow(users) : UserRow{};
  if (!found) return LoginFailure::kUnknownUser;
  const bool has_flag = HasField(users, "ADASIPA");
  const std::string typed = Upper(xb::FromUtf8(password_utf8));
  if (!PasswordMatches(typed, row->password, has_flag ? row->adasipa : 0))
    return LoginFailure::kWrongPassword;
  if (has_flag) {
    if (row->adasipa == 0) ScrambleLocked(users);
    ScrambleOtherPlainRows(users, business);
    users.SetOrder("USUARIOS");
    users.GoTo(row->recno);
    *row = ReadUserRow(users);
  }
  return LoginFailure::kNone;
}

void BlockUser(WDBTable& users, const std::string& business, int codigo) {
  users.SetOrder("USUARIO3");
  if (users.Seek(BusinessKey(business) + Str(codigo, 4))) {
    LOCK_FOR_MODIFY(users);
    if (IntField(users, "SUPERVISOR") != 1) PutNum(users, "BLOQUEADO", 1);
    PutText(users, "INFO_BLOQ", WorkstationStamp());
    UNLOCK_FOR_MODIFY(users);
  }
  users.SetOrder("USUARIOS");
}

bool AttemptCounter::CountFailure(const BusinessRow& b, bool zero_blocks) {
  if (!b.has_intentos) return false;
  ++count_;
  if (b.intentos > 0) return count_ >= b.intentos;
  return zero_blocks;
}

void SetDbAccess(const std::string& subbase) {
  Globals& g = G();
  g.XDBACCESS = {"", "  ", ""};
  if (Trim(subbase).empty()) return;
  g.XDBACCESS[1] = PadRight(subbase, 2);
  TablePtr t = OpenShellTable("SUBBASES", "SUBBASES", true);
  if (t && t->Seek(PadRight(subbase, 2))) g.XDBACCESS[0] = TextField(*t, "DIRECTORIO");
}

void SetSessionGlobals(const UserRow& u) {
  Globals& g = G();
  g.XSUPERACCESS = u.supervisor == 1 ? 1 : 0;
  g.XUSER_NUMBER = u.codigo;
  g.XUSER_ABREVIA = u.abrevia;
  g.XBUTTON_STYLE = u.buttonstyl == 1 ? 0 : (u.buttonstyl == 2 ? 5 : 3);
  g.XIDIOMA = u.idioma + 1;
  g.XFECHA_CLAVE = u.f_clave;
  g.XNO_SALIR = u.no_salir;
  SetDbAccess(u.subbase);
  g.XDO_CHAT = u.no_chat;
  if (!u.username.empty()) g.XEMAILNAME = u.username;
  if (!u.useraddr.empty()) g.XEMAILADDR = u.useraddr;
}

namespace {
std::string ExitRequestPath() {
  return G().PATH + "BLOQUEAD.!";
}
}  // namespace

std::optional<std::string> ExitRequestContent() {
  std::error_code ec;
  if (!std::filesystem::exists(ExitRequestPath(), ec)) return std::nullopt;
  std::ifstream in(ExitRequestPath(), std::ios::binary);
  char buf[50] = {0};
  in.read(buf, sizeof buf);
  return std::string(buf, static_cast<size_t>(in.gcount()));
}

bool WriteExitRequestFile(const std::string& content) {
  const std::string path = ExitRequestPath();
  const std::string side = path + "." + std::to_string(::getpid()) + ".tmp";
  {
    std::ofstream out(side, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << content;
    out.flush();
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(side, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(side, path, ec);
  if (!ec) return true;
  std::filesystem::remove(side, ec);
  return false;
}

bool RemoveExitRequestFile() {
  std::error_code ec;
  std::filesystem::remove(ExitRequestPath(), ec);
  return !std::filesystem::exists(ExitRequestPath(), ec);
}

ExitRequest ReadExitRequest() {
  ExitRequest r;
  const std::string path = ExitRequestPath();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return r;
  r.present = true;
  // A request file that exists but cannot be read still asks everybody to
  // leave: its digits are unknown, and leaving is the safe reading.
  std::ifstream in(path, std::ios::binary);
  if (!in) return r;
  char buf[50] = {0};
  in.read(buf, sizeof buf);
  std::string s(buf, static_cast<size_t>(in.gcount()));
  r.everybody = !s.empty() && s[0] == '1';
  for (size_t i = 1; i < s.size(); ++i)
    if (s[i] >= '0' && s[i] <= '9') r.digit_sum += s[i] - '0';
  return r;
}

}  // namespace qz
