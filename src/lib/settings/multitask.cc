#include "lib/settings/multitask.h"

#include "lib/clock.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {
std::function<void()> g_pump;

void Pump(int count) {
  for (int i = 0; i < count; ++i)
    if (g_pump) g_pump();
}
}  // namespace

void SetMessagePump(std::function<void()> pump) {
  g_pump = std::move(pump);
}

void MULTITASK(int count, bool force) {
  Globals& g = G();
  if (g.XINMULTITASK) return;
  g.XINMULTITASK = 1;
  if (force) {
    Pump(count);
  } else if (g.XMULTITASK[1] == 0 || g.XMULTITASK[0] >= g.XMULTITASK[1]) {
    g.XMULTITASK[0] = 1;
    Pump(count);
  } else {
    ++g.XMULTITASK[0];
  }
  g.XINMULTITASK = 0;
}

void WAIT_TIME(double seconds) {
  Clock& c = CurrentClock();
  const int64_t end = c.TickMs() + static_cast<int64_t>(seconds * 1000);
  while (c.TickMs() < end) {
    Pump(1);
    c.SleepMs(10);
  }
}

void XWAITMILLISEC(int64_t milliseconds) {
  Clock& c = CurrentClock();
  const int64_t end = c.TickMs() + milliseconds;
  while (c.TickMs() < end) c.SleepMs(1);
}

}  // namespace qz
