// The users and businesses tables as the login, the session lock, the
// password change and the business toolbar read them: one row's fields
// (optional ones tested by name), the password check with the scrambling of
// plain rows, blocking a user after too many attempts, the session globals,
// and the exit-request file BLOQUEAD.!.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "lib/data/wtable.h"

namespace qz {

struct UserRow {
  bool found = false;
  uint32_t recno = 0;
  int codigo = 0;
  std::string nombre;   // UTF-8, trimmed
  std::string usuario;  // UTF-8, trimmed
  std::string abrevia = "XX";
  std::string password;  // stored bytes
  int adasipa = 0;
  int supervisor = 0;
  int permiso1 = 0;
  int bloqueado = 0;
  int no_salir = 0;
  int buttonstyl = 0;
  int idioma = 0;
  std::string subbase;
  int no_chat = 0;
  int dias_clave = 0;
  bool has_dias_clave = false;
  int size_clave = 0;
  std::optional<int32_t> f_clave;
  std::string username, useraddr;
};

struct BusinessRow {
  bool found = false;
  std::string codigo;  // 15 bytes
  std::string descrip;
  std::string logo, logo2;
  bool has_intentos = false;
  int intentos = 0;
  bool has_dias_clave = false;
  int dias_clave = 0;
  int size_clave = 0;
  bool has_manejo_tc = false;
  int manejo_tc = 0;
  bool has_check_mon = false;
  int check_mon = 0;
  int cant_mon = 0;
  std::string moneda_con;  // bytes
};

// The current row of `users` (a blank row when not positioned on one).
UserRow ReadUserRow(const WDBTable& users);
// The business's row of NEGOCIOS (found = false when missing or unreadable).
BusinessRow ReadBusiness(const std::string& code);

// The typed user name as the key of tag USUARIOS: upper case, padded or cut
// to the width of NOMBRE (table bytes).
std::string UserNameKey(const WDBTable& users, const std::string& typed_utf8);

enum class LoginFailure { kNone, kUnknownUser, kWrongPassword };

// Seeks business + name on tag USUARIOS and checks the password (typed as
// UTF-8, compared upper case). On success a plain stored password of this
// user, then of every other user of the business, is scrambled (when the
// table has ADASIPA). `users` is left on the user's row (tag USUARIOS).
LoginFailure CheckUserPassword(WDBTable& users, const std::string& business,
                               const std::string& name_utf8, const std::string& password_utf8,
                               UserRow* row);

// After too many attempts: the user's row (tag USUARIO3) gets BLOQUEADO = 1
// unless it is a supervisor's, and INFO_BLOQ the workstation stamp in any
// case.
void BlockUser(WDBTable& users, const std::string& business, int codigo);

// Counts failed attempts against a business's INTENTOS.
class AttemptCounter {
 public:
  // Counts one failure; true when the limit is reached. `zero_blocks`: the
  // limit also applies when INTENTOS is 0 (the forced password change).
  bool CountFailure(const BusinessRow& b, bool zero_blocks = false);
  void Reset() { count_ = 0; }
  int count() const { return count_; }

 private:
  int count_ = 0;
};

// The session globals a login (or a business change) takes from the user row.
void SetSessionGlobals(const UserRow& u);
// XDBACCESS from SUBBASES for the user's sub-base code.
void SetDbAccess(const std::string& subbase);

// The request file BLOQUEAD.! in the program folder.
struct ExitRequest {
  bool present = false;
  bool everybody = false;  // character 1 is "1"
  int digit_sum = 0;       // of characters 2-50
  bool ForThisProgram() const { return present && digit_sum == 0; }
};
ExitRequest ReadExitRequest();
// The request file's first 50 characters; nullopt when there is none.
std::optional<std::string> ExitRequestContent();
// Writes the request file whole (a side file renamed into place, so a
// workstation reading it every minute never sees half of it); false when it
// cannot be created.
bool WriteExitRequestFile(const std::string& content);
// Removes the request file (true when it is gone).
bool RemoveExitRequestFile();

// "Ud. tiene temporalmente bloqueado el Acceso al Sistema" and the other
// texts more than one screen shows.
inline constexpr const char* kUserBlocked =
    "Ud. tiene temporalmente bloqueado el Acceso al Sistema";
inline constexpr const char* kAccessDenied = "Acceso Denegado";
inline constexpr const char* kTooManyAttempts =
    "Se ha excedido el número máximo de Intentos permitidos";

}  // namespace qz
