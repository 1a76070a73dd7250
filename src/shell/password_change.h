// Changing a password: the forced change when it has expired (ACT_CLAVE, at
// login and after a business change) and the change from the menu
// (CH_PASSWD). Both run the same checks in the same order and log the change
// in ADASIPA.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "shell/users.h"

namespace qz {

class Desktop;
class WDIAG;

// Controls of ACT_CLAVE and CH_PASSWD.
enum PasswordControl : int { kPwCurrent = 501, kPwNew = 502, kPwVerify = 503 };

// The password lifetime that applies: the smaller of the business's and the
// user's DIAS_CLAVE when both are positive, the positive one when only one
// is; none when either table lacks the field.
std::optional<int> PasswordLifetime(const BusinessRow& b, const UserRow& u);
// Whether the logged-in user's password (XFECHA_CLAVE) has expired for the
// business: today - XFECHA_CLAVE exceeds the lifetime.
bool PasswordExpired(const std::string& business, int user_number);

// The checks of "Aceptar" and the save.
class PasswordChange {
 public:
  enum class Outcome { kStay, kChanged, kBlocked };
  // `origin` 1 = forced change, 2 = from the menu. The user is found by code
  // (forced change) or by name (menu).
  PasswordChange(std::string business, int origin, std::optional<int> user_number,
                 std::string user_name);
  Outcome Aceptar(const std::string& current, const std::string& nuevo, const std::string& verify);
  int attempts() const { return attempts_.count(); }

 private:
  bool FindUser(WDBTable& users);

  std::string business_;
  int origin_;
  std::optional<int> user_number_;
  std::string user_name_;
  AttemptCounter attempts_;
};

// ACT_CLAVE: the forced change; 1 when changed or not required (no
// XFECHA_CLAVE), 0 when not changed.
int ACT_CLAVE(Desktop& desktop, const std::string& business);

// CH_PASSWD: the change from the menu for `user_name`. `lock_application`
// runs when a non-supervisor used up the attempts.
void CH_PASSWD(Desktop& desktop, const std::string& business, const std::string& user_name,
               const std::function<void()>& lock_application);

// LOG_PASSWORD: the ADASIPA row of a change (only when USUARIOS has ADASIPA).
void LOG_PASSWORD(const std::string& old_scrambled, const std::string& new_scrambled,
                  const UserRow& user, int origin);

}  // namespace qz
