// Patience: how the data layer waits for other workstations. An open, lock,
// append or release that another user blocks is retried every 100 ms; after
// 5 seconds each further failure shows a message ("Alerta") and retries
// again, so outside a transaction the program never gives up on its own.
// Inside a server transaction the operation is aborted instead: a Fault is
// thrown, the error handler rolls the transaction back (errors/fault.h).
//
// Only "busy" failures are waited for. A failure that waiting cannot cure (a
// missing or corrupt file, a refused write) is a fault at once, so a user is
// never trapped in an endless series of boxes.
//
// A lock, append or release is a step of the user's operation: its fault
// goes to the error handler where it happened (StepFailed), so "Reintentar"
// runs that step again and nothing before it. An open is not: its fault ends
// the operation and reaches the handler at the operation's boundary.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "xbase/status.h"

namespace qz {

inline constexpr int kRetryPauseMs = 100;
inline constexpr int kPatienceMs = 5000;

enum class RetryCounter { kOpens = 0, kLocks = 1, kUnlocks = 2, kNone = -1 };

struct Patience {
  RetryCounter counter = RetryCounter::kNone;
  std::string message;  // UTF-8, shown with title "Alerta"
  // Lock, append and release with the server engine: the message also goes
  // into XADS_T_ERR, the text of the last lock failure.
  bool sets_server_lock_text = false;
  int gen_code = 0;  // of the fault raised on abort or on an incurable failure
  std::string filename;
  std::string operation;
  bool step = false;  // a lock, append or release (above)
};

// Runs `attempt` until it succeeds, following the rules above.
void RetryPatiently(const std::function<xb::Status()>& attempt, const Patience& p);

// The patience of a lock, append or release step on record `recno` of the
// table at `path` (work area `alias`): its report after 5 seconds names the
// record with the server engine.
Patience LockPatience(const std::string& path, const std::string& alias, uint32_t recno,
                      RetryCounter counter, int gen, const char* operation);

}  // namespace qz
