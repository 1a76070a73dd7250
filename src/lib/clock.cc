#include "lib/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace qz {
namespace {

class SystemClockImpl final : public Clock {
 public:
  int64_t TickMs() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
  void SleepMs(int64_t ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
  LocalDateTime Now() override {
    using namespace std::chrono;
    return LocalFromEpochNs(duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count());
  }
};

SystemClockImpl g_system;
Clock* g_current = &g_system;

}  // namespace

LocalDateTime LocalFromEpochNs(int64_t ns) {
  std::time_t secs = static_cast<std::time_t>(ns / 1000000000);
  std::tm tm{};
  localtime_r(&secs, &tm);
  LocalDateTime d;
  d.year = tm.tm_year + 1900;
  d.month = tm.tm_mon + 1;
  d.day = tm.tm_mday;
  d.hour = tm.tm_hour;
  d.minute = tm.tm_min;
  d.second = tm.tm_sec;
  d.millisecond = static_cast<int>((ns / 1000000) % 1000);
  return d;
}

Clock& CurrentClock() { return *g_current; }
void SetClock(Clock* c) { g_current = c ? c : &g_system; }

}  // namespace qz
