// Heartbeats: every long-running program of the suite (the mail server
// among them) rewrites HBEAT/<name>.HBT under the program folder while it
// works, so the others can tell whether it is alive.
#pragma once

#include <cstdint>
#include <string>

#include "lib/clock.h"

namespace qz {

// A moment as seconds on one calendar scale (real month and year lengths).
int64_t CalendarSeconds(const LocalDateTime& t);

// GET_HEARTBEAT: seconds since `name` last wrote its heartbeat file, -1 when
// it has none. The age is measured against the program clock.
int64_t GET_HEARTBEAT(const std::string& name);

// The mail server counts as stopped when its heartbeat is older than this.
inline constexpr int64_t kMailServerSilence = 5 * 60;
// True when mail should be sent directly: the "MAILSERV" heartbeat exists and
// is older than five minutes. No heartbeat at all means the mail server is
// trusted to be there.
bool MailServerSilent();

}  // namespace qz
