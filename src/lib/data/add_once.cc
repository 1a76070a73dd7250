#include "lib/data/add_once.h"

#include "lib/data/locking.h"
#include "lib/data/patience.h"
#include "lib/data/transaction.h"
#include "lib/errors/fault.h"

namespace qz {
namespace {

bool SeekFound(WDBTable& t, const xb::Value& key) {
  return t.Seek(key) && !t.Eof();
}

}  // namespace

bool AddRowOnce(WDBTable& t, const xb::Value& key, const std::function<void(WDBTable&)>& fill) {
  if (SeekFound(t, key)) return false;
  // Record locks held now are an open transaction's changed rows: the table
  // lock takes them over, so it must last as long as they do.
  const bool keep = InServerTransaction() && !t.table().LockedRecords().empty();
  Patience p = LockPatience(t.table().path(), t.Alias, 0, RetryCounter::kLocks, kGenLock, "FLOCK");
  RetryPatiently([&] { return t.FLock() ? xb::Status::OK() : xb::Status::Busy("FLOCK"); }, p);
  // Another workstation may have added it while this one waited.
  bool added = false;
  if (!SeekFound(t, key)) {
    ADD_NEW_REC(t);
    fill(t);
    UNLOCK_FOR_MODIFY(t);
    added = true;
  }
  // Inside a transaction an added row keeps its lock to the end, and so
  // does the table lock that covers it.
  if (!keep && !(added && InServerTransaction())) t.Unlock();
  if (added) SeekFound(t, key);
  return added;
}

}  // namespace qz
