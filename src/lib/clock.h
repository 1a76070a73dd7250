// The clock the program reads: a monotonic tick count for waits and retries,
// and the workstation's date and time. Tests install a fake one so that
// five-second patience loops run instantly.
#pragma once

#include <cstdint>

namespace qz {

struct LocalDateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Local calendar date and time of an instant given as nanoseconds since the
// epoch (a file's modification time, the system clock).
LocalDateTime LocalFromEpochNs(int64_t ns);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t TickMs() = 0;             // monotonic milliseconds
  virtual void SleepMs(int64_t ms) = 0;     // a fake clock just advances
  virtual LocalDateTime Now() = 0;          // workstation local date and time
};

// The process clock: the system one unless a test installed another.
Clock& CurrentClock();
// Installs `c` (not owned) as the process clock; null restores the system clock.
void SetClock(Clock* c);

}  // namespace qz
