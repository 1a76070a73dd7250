// Record and file locks of a Table.
#include <chrono>
#include <thread>

#include "xbase/kept_record_locks.h"
#include "xbase/lingering_lock.h"
#include "xbase/table.h"
#include "xbase/table_index.h"
#include "xbase/table_locks.h"

namespace xb {

Status Table::LockRecord(uint32_t recno) {
  if (recno == 0) recno = recno_;
  if (exclusive_ || file_locked_) return Status::OK();
  if (read_only_) return Status::ReadOnly(path_ + ": opened read-only, cannot lock a record");
  if (recno == 0 || (eof_ && recno == recno_)) {
    return Status::InvalidArgument(path_ + ": no record to lock (end of file)");
  }
  if (!locks_.contains(recno)) {
    if (recno > kFileLockSize)
      return Status::InvalidArgument(path_ + ": record number too large to lock");
    // A record this handle let go of a moment ago may still be kept: then
    // it is ours again without asking.
    if (!kept_locks_->Revive(recno)) {
      Status s = LockBytes(RecordLockOffset(recno), 1);
      if (s.IsBusy())
        return Status::Busy(path_ + ": record " + std::to_string(recno) +
                            " is locked by another user");
      XB_RETURN_IF_ERROR(s);
    }
    locks_.insert(recno);
  }
  // What we hold must be what is on disk now, not what we read before, and
  // not a change whose writer was killed before finishing it (undone here).
  if (index_) XB_RETURN_IF_ERROR(index_->CatchUp());
  if (recno == recno_ && !dirty_) {
    Status s = ReadRecord(recno);
    if (!s.ok()) return s;
  }
  return Status::OK();
}

Status Table::UnlockRecord(uint32_t recno) {
  if (recno == 0) recno = recno_;
  if (recno == recno_) XB_RETURN_IF_ERROR(WriteBack());
  if (locks_.erase(recno)) return kept_locks_->Release(recno, locks_.sorted());
  return Status::OK();
}

Status Table::UnlockAll() {
  if (!file_) return Status::OK();
  Status s = WriteBack();
  // What is held and what is kept goes together: with nothing left held,
  // in one call.
  (void)kept_locks_->ReleaseAll(locks_.sorted(), {});
  locks_.clear();
  if (file_locked_) {
    file_->Unlock(kFileLockOffset, kFileLockSize);
    file_locked_ = false;
  }
  return s;
}

Status Table::LockBytes(uint64_t offset, uint64_t len) {
  Status s = file_->Lock(offset, len, true);
  if (!s.IsBusy()) return s;
  // Perhaps kept by another handle of this process.
  ReleaseLingeringLocks();
  s = file_->Lock(offset, len, true);
  if (!s.IsBusy() || !LingerAllowed(env_)) return s;
  // Perhaps kept for a moment by another process that keeps locks as we do.
  const auto until = std::chrono::steady_clock::now() + LingeringLock::kMaxHold +
                     2 * LingeringLock::kGap;
  while (s.IsBusy() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::microseconds(250));
    s = file_->Lock(offset, len, true);
  }
  return s;
}

Status Table::LockFile() {
  if (exclusive_ || file_locked_) return Status::OK();
  if (read_only_) return Status::ReadOnly(path_ + ": opened read-only, cannot lock the table");
  XB_RETURN_IF_ERROR(WriteBack());
  // Kept records go first: letting go of them later would open holes in
  // the file lock.
  XB_RETURN_IF_ERROR(kept_locks_->ReleaseAll({}, locks_.sorted()));
  // Our own record locks lie inside the range and merge into the file lock
  // (the locks belong to this handle), so they are kept until it is granted:
  // a refused file lock must not cost the records we hold.
  Status s = LockBytes(kFileLockOffset, kFileLockSize);
  if (s.IsBusy()) return Status::Busy(path_ + ": table is locked by another user");
  XB_RETURN_IF_ERROR(s);
  locks_.clear();  // covered by the file lock, released with it
  file_locked_ = true;
  if (!eof_ && !dirty_) return ReadRecord(recno_);
  return Status::OK();
}

bool Table::IsRecordLocked(uint32_t recno) const {
  return exclusive_ || file_locked_ || locks_.contains(recno);
}

std::vector<uint32_t> Table::LockedRecords() const {
  return locks_.sorted();
}

}  // namespace xb
