// Private to the lock-keeping code (lingering_lock.cc, kept_record_locks.cc):
// every lock that may be kept, and the thread that lets go of kept locks
// whose handle did not come back for them.
#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "xbase/kept_record_locks.h"
#include "xbase/lingering_lock.h"

namespace xb {

// Never destroyed: the keeper thread may still be waiting on it while the
// process exits.
struct LingerRegistry {
  using Clock = LingeringLock::Clock;

  std::mutex mu;
  // A pointer: a forked child needs a fresh one (the parent's keeper may
  // have been waiting on it at the fork, a state the child must not inherit).
  std::condition_variable* cv = new std::condition_variable;
  std::vector<LingeringLock*> locks;
  std::vector<KeptRecordLocks*> records;
  bool keeper_running = false;
  Clock::time_point keeper_wakes = Clock::time_point::max();

  static LingerRegistry& Get();
  // Under `mu`. Lets go of `l` when it is kept and unused (and, unless
  // `all`, held for its full time): returns whether it did.
  static bool Drop(LingeringLock* l, Clock::time_point now, bool all);
  // Under `mu`: makes sure the keeper wakes by `when`.
  void WakeKeeperBy(Clock::time_point when);
  void Keep();
};

}  // namespace xb
