#include "xbase/kept_record_locks.h"

#include <algorithm>

#include "xbase/linger_registry.h"
#include "xbase/table_locks.h"

namespace xb {

KeptRecordLocks::KeptRecordLocks(Env* env, File* file) : file_(file), linger_(LingerAllowed(env)) {
  if (!linger_) return;
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  r.records.push_back(this);
}

KeptRecordLocks::~KeptRecordLocks() {
  if (!linger_) return;
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  r.records.erase(std::find(r.records.begin(), r.records.end(), this));
  LetGoAlone(Clock::now(), true);
}

bool KeptRecordLocks::Revive(uint32_t recno) {
  if (!linger_) return false;
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) { return k.recno == recno; });
  if (it == kept_.end()) return false;
  // due_ may now be early for those left: they only go sooner.
  revived_.push_back(*it);
  *it = kept_.back();
  kept_.pop_back();
  return true;
}

Status KeptRecordLocks::Release(uint32_t recno, const std::vector<uint32_t>& held) {
  if (!linger_) return file_->Unlock(RecordLockOffset(recno), 1);
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  const auto now = Clock::now();
  Kept k{recno, now};
  auto rv = std::find_if(revived_.begin(), revived_.end(),
                         [&](const Kept& x) { return x.recno == recno; });
  if (rv != revived_.end()) {
    k.since = rv->since;
    *rv = revived_.back();
    revived_.pop_back();
  }
  const bool first = kept_.empty();
  if (now < no_keep_until_ || now >= k.since + LingeringLock::kMaxHold) {
    // Kept its full time (or the others' turn): the byte goes now, and so
    // do those kept with it.
    if (now >= k.since + LingeringLock::kMaxHold) no_keep_until_ = now + LingeringLock::kGap;
    scratch_.assign(1, recno);
    return LetGo(&scratch_, held);
  }
  kept_.push_back(k);
  due_ = std::min(due_, k.since + LingeringLock::kMaxHold);
  if (kept_.size() >= kBatch || now >= due_) {
    scratch_.clear();
    return LetGo(&scratch_, held);
  }
  if (first) r.WakeKeeperBy(due_);
  return Status::OK();
}

Status KeptRecordLocks::ReleaseAll(const std::vector<uint32_t>& also,
                                   const std::vector<uint32_t>& held) {
  if (!linger_) {
    scratch_ = also;  // nothing is kept
    return LetGo(&scratch_, held);
  }
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  revived_.clear();
  scratch_ = also;
  return LetGo(&scratch_, held);
}

Status KeptRecordLocks::LetGo(std::vector<uint32_t>* go, const std::vector<uint32_t>& held) {
  for (const Kept& k : kept_) go->push_back(k.recno);
  kept_.clear();
  due_ = Clock::time_point::max();
  std::sort(go->begin(), go->end());
  // One call per run of records to let go of that no held record splits:
  // the bytes in between that are not ours are let go of by nobody.
  Status first_error;
  auto h = held.begin();
  for (size_t i = 0; i < go->size(); ++i) {
    const uint32_t low = (*go)[i];
    h = std::lower_bound(h, held.end(), low);
    if (h != held.end() && *h == low) continue;  // held again: stays
    uint32_t high = low;
    while (i + 1 < go->size() && (h == held.end() || (*go)[i + 1] < *h)) high = (*go)[++i];
    Status s = file_->Unlock(RecordLockOffset(high), high - low + 1);
    if (!s.ok() && first_error.ok()) first_error = s;
  }
  return first_error;
}

void KeptRecordLocks::LetGoAlone(Clock::time_point now, bool all) {
  if (kept_.empty() || (!all && now < due_)) return;
  std::sort(kept_.begin(), kept_.end(), [](const Kept& a, const Kept& b) { return a.recno < b.recno; });
  for (size_t i = 0; i < kept_.size();) {
    const uint32_t low = kept_[i].recno;
    uint32_t high = low;
    while (++i < kept_.size() && kept_[i].recno == high + 1) ++high;
    (void)file_->Unlock(RecordLockOffset(high), high - low + 1);
  }
  kept_.clear();
  due_ = Clock::time_point::max();
}

}  // namespace xb
