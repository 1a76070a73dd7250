// A clock that only moves when told to (or when the code under test sleeps),
// so that patience loops of several seconds run instantly in tests.
#pragma once

#include "lib/clock.h"

namespace qztest {

class FakeClock : public qz::Clock {
 public:
  FakeClock() { qz::SetClock(this); }
  ~FakeClock() override { qz::SetClock(nullptr); }
  int64_t TickMs() override { return tick_; }
  void SleepMs(int64_t ms) override { tick_ += ms; slept_ += ms; }
  qz::LocalDateTime Now() override { return now_; }
  void Advance(int64_t ms) { tick_ += ms; }
  void SetNow(const qz::LocalDateTime& d) { now_ = d; }
  int64_t slept() const { return slept_; }

 private:
  int64_t tick_ = 1000000;
  int64_t slept_ = 0;
  qz::LocalDateTime now_{2026, 12, 8, 10, 30, 0, 0};
};

}  // namespace qztest
