#include "shell/session_lock.h"

#include "lib/clock.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "shell/shell_tables.h"

namespace qz {

void IdleDetector::UserInput() {
  G().XAPP_LAST_MESSAGETIME = CurrentClock().TickMs();
  asked_ = false;
}

bool IdleDetector::Due() {
  const Globals& g = G();
  if (asked_ || g.XAPP_MESSAGE_NOCHECK != 0 || g.XAPP_IN_MESSAGETIME != 0) return false;
  if (g.XAPP_MAX_MESSAGETIME <= 0) return false;
  if (CurrentClock().TickMs() - g.XAPP_LAST_MESSAGETIME < g.XAPP_MAX_MESSAGETIME) return false;
  asked_ = true;
  return true;
}

void IdleDetector::LockEnded() {
  asked_ = false;
  G().XAPP_LAST_MESSAGETIME = CurrentClock().TickMs();
}

SessionVerdict Verif_Session(const std::string& business, const std::string& name,
                             const std::string& password, AttemptCounter& attempts) {
  TablePtr users = OpenShellTable("USUARIOS", "USUARIOS");
  if (!users) return SessionVerdict::kRetry;
  UserRow user;
  LoginFailure failure = CheckUserPassword(*users, business, name, password, &user);
  if (failure == LoginFailure::kNone) return SessionVerdict::kOk;
  MESSAGE_BOX(kAccessDenied, "Serie Quartzel", kMbIconWarning);
  if (!attempts.CountFailure(ReadBusiness(business))) return SessionVerdict::kRetry;
  MESSAGE_BOX(kTooManyAttempts, "ERROR", kMbIconStop);
  if (failure == LoginFailure::kWrongPassword) BlockUser(*users, business, user.codigo);
  return SessionVerdict::kLimit;
}

}  // namespace qz
