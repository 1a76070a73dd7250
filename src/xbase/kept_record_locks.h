// Record locks a table handle has let go of, kept for a moment.
//
// A locked update takes the record's lock and lets go of it: two system
// calls, which on a run of updates cost more than the updates themselves.
// So a released record's byte is kept for a moment instead, and the kept
// bytes go together: one call per run of them that no record the handle
// still holds interrupts (a run of random updates lets go of dozens of
// records in one or two calls). As with the kept index and header locks
// (lingering_lock.h), nothing about the file differs while a byte is kept:
// the record was written before its release, and to its handle it is
// released (IsRecordLocked says no). Other users merely wait a little
// longer:
//  - a record is kept at most LingeringLock::kMaxHold after its release
//    (its first, when the handle took it back meanwhile): its handle lets go
//    of it when it next releases a record, or the keeper thread does when
//    nobody came back;
//  - a handle lets go of all it keeps once kBatch are kept;
//  - a kept record locked again by its handle is the handle's again with no
//    system call; one kept its full time is let go of, and the handle keeps
//    nothing for LingeringLock::kGap, so that a record locked over and over
//    gives the others their turn;
//  - a lock request that finds a byte busy lets go of every lock the process
//    keeps (another handle's, perhaps) and asks again, and, where locks are
//    kept at all, asks again for a moment more (another process's).
// Off where lingering locks are off (LingerAllowed).
#pragma once

#include <cstdint>
#include <vector>

#include "xbase/env.h"
#include "xbase/lingering_lock.h"
#include "xbase/status.h"

namespace xb {

class KeptRecordLocks {
 public:
  using Clock = LingeringLock::Clock;
  static constexpr size_t kBatch = 64;

  // `file` (a table's) must outlive this object.
  KeptRecordLocks(Env* env, File* file);
  // Lets go of whatever is still kept.
  ~KeptRecordLocks();
  KeptRecordLocks(const KeptRecordLocks&) = delete;
  KeptRecordLocks& operator=(const KeptRecordLocks&) = delete;

  // Whether `recno` was kept: its lock is the caller's again, nothing asked.
  bool Revive(uint32_t recno);
  // The caller let go of `recno`; `held` are the records the handle still
  // holds (ascending). The byte is kept, or let go of now.
  Status Release(uint32_t recno, const std::vector<uint32_t>& held);
  // Lets go now of everything kept and of the records in `also` (ascending),
  // keeping the bytes of `held` (ascending).
  Status ReleaseAll(const std::vector<uint32_t>& also, const std::vector<uint32_t>& held);

 private:
  friend struct LingerRegistry;
  friend void ReleaseLingeringLocks();
  struct Kept {
    uint32_t recno;
    Clock::time_point since;  // when it was first let go of
  };
  // Under the registry's mutex.
  Status LetGo(std::vector<uint32_t>* go, const std::vector<uint32_t>& held);
  // Under the registry's mutex: the keeper's and another handle's way to let
  // go of kept records. They do not know what the handle holds, so only
  // adjacent records share a call.
  void LetGoAlone(Clock::time_point now, bool all);
  // When the first kept record is due to go.
  Clock::time_point due() const { return due_; }

  File* file_;
  bool linger_;
  std::vector<Kept> kept_;
  // Kept records the handle locked again, with the time they were first
  // let go of: released again, they are kept only for what is left of it.
  std::vector<Kept> revived_;
  Clock::time_point due_ = Clock::time_point::max();
  Clock::time_point no_keep_until_{};
  std::vector<uint32_t> scratch_;
};

}  // namespace xb
