// A one-byte lock that its handle takes and lets go of many times in a row:
// the index lock of a writer (once per record change), the header lock of an
// appender (once per new record). Each take and each release is a system
// call, and on a busy run of changes those calls cost more than the changes.
//
// So an exclusive lock that is let go is kept for a moment instead: the next
// take by the same handle finds it still held and makes no system call.
// Nothing about the file differs while it is kept: every change was written
// and committed before the release, exactly as if the lock had been dropped,
// so a process killed meanwhile leaves what it would have left anyway (and
// the kernel frees its locks). Other users merely wait a little longer:
//  - a kept lock is let go for good once it has been held for kMaxHold since
//    it was taken (by its handle when it next lets go, or by a small thread
//    that lets go of kept locks nobody came back for);
//  - after that its handle keeps nothing for kGap, taking and releasing the
//    lock for every change as before, so that the others (who try again
//    every fraction of a millisecond) find it free;
//  - a lock request of this process that finds a byte busy first lets go of
//    every lock the process keeps and asks again, so two handles of one
//    process never wait for each other's kept locks.
// Lock offsets and their meaning are those of the other engines; only the
// moment of release moves. Shared locks are never kept.
//
// Only for files of the process-wide environment (Env::Default()): files of
// other environments (tests that inject faults) take and release every time.
// QZ_NO_LOCK_LINGER=1 in the environment turns keeping off.
#pragma once

#include <chrono>
#include <cstdint>

#include "xbase/env.h"
#include "xbase/status.h"

namespace xb {

class LingeringLock {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kMaxHold = std::chrono::milliseconds(5);
  static constexpr auto kGap = std::chrono::microseconds(500);

  // `file` must outlive this object.
  LingeringLock(Env* env, File* file, uint64_t offset);
  ~LingeringLock();
  LingeringLock(const LingeringLock&) = delete;
  LingeringLock& operator=(const LingeringLock&) = delete;

  // Never waits: kBusy when another user holds the byte. Taking it
  // exclusively while holding it shared upgrades it.
  Status Lock(bool exclusive);
  // Lets go (an exclusive lock may be kept for a moment, see above).
  Status Unlock();
  // Lets go for good now, whatever was kept.
  Status UnlockNow();

  // Whether the last Lock() found the lock still held from before: nobody
  // else can have changed what it guards since our last release.
  bool was_kept() const { return was_kept_; }

 private:
  friend struct LingerRegistry;
  enum class Held { kNone, kShared, kExclusive };
  // Guarded by the registry's mutex when `linger_` (the keeper thread may
  // let go of a kept lock).
  File* file_;
  uint64_t offset_;
  bool linger_;
  Held held_ = Held::kNone;
  bool in_use_ = false;       // taken and not let go since
  bool keepable_ = false;     // this hold may be kept (it began outside a gap)
  Clock::time_point since_;   // when this hold began
  Clock::time_point no_keep_until_;
  bool was_kept_ = false;
};

// Lets go of every lock this process keeps (and nobody is using), record
// locks included (kept_record_locks.h).
void ReleaseLingeringLocks();

// Whether locks of files of `env` may be kept.
bool LingerAllowed(Env* env);

}  // namespace xb
