// The session lock: after a time without user input the main window locks
// the session (message 2223) and only the same user's password unlocks it.
// The idle detector is what notices the inactivity: every user input resets
// the idle time; the limit is XAPP_MAX_MESSAGETIME, XAPP_MESSAGE_NOCHECK
// switches the check off, and no second lock is asked for while one is shown
// (XAPP_IN_MESSAGETIME).
#pragma once

#include <string>

#include "shell/users.h"

namespace qz {

class IdleDetector {
 public:
  // A key press, click or wheel turn of the user.
  void UserInput();
  // True once per idle period when the session should be locked; the next
  // lock can only come after new input or the end of the lock.
  bool Due();
  void LockEnded();

 private:
  bool asked_ = false;
};

enum class SessionVerdict { kOk, kRetry, kLimit };
// Verif_Session: the password of `name` for `business` (the main window's
// current ones); failures count against INTENTOS only when it is positive,
// and reaching it blocks the user.
SessionVerdict Verif_Session(const std::string& business, const std::string& name,
                             const std::string& password, AttemptCounter& attempts);

}  // namespace qz
