#include "xbase/lingering_lock.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "xbase/linger_registry.h"

namespace xb {

LingerRegistry& LingerRegistry::Get() {
  static LingerRegistry* r = [] {
    auto* reg = new LingerRegistry;
    // A forked child has no keeper thread, and the locks it inherited
    // belong to the parent's open files: the child must not let them go.
    pthread_atfork([] { Get().mu.lock(); }, [] { Get().mu.unlock(); },
                   [] {
                     LingerRegistry& g = Get();
                     g.keeper_running = false;
                     g.cv = new std::condition_variable;  // the old one is left as is
                     g.keeper_wakes = Clock::time_point::max();
                     for (LingeringLock* l : g.locks) {
                       if (l->held_ == LingeringLock::Held::kExclusive && !l->in_use_)
                         l->held_ = LingeringLock::Held::kNone;
                     }
                     for (KeptRecordLocks* k : g.records) {
                       k->kept_.clear();
                       k->revived_.clear();
                     }
                     g.mu.unlock();
                   });
    return reg;
  }();
  return *r;
}

bool LingerRegistry::Drop(LingeringLock* l, Clock::time_point now, bool all) {
  if (l->held_ != LingeringLock::Held::kExclusive || l->in_use_ || !l->keepable_) return false;
  if (!all && now < l->since_ + LingeringLock::kMaxHold) return false;
  (void)l->file_->Unlock(l->offset_, 1);
  l->held_ = LingeringLock::Held::kNone;
  l->no_keep_until_ = now + LingeringLock::kGap;
  return true;
}

void LingerRegistry::WakeKeeperBy(Clock::time_point when) {
  if (!keeper_running) {
    keeper_running = true;
    // Signals stay with the program's own threads.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    std::thread([this] { Keep(); }).detach();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
  }
  if (when < keeper_wakes) {
    keeper_wakes = when;
    cv->notify_one();
  }
}

void LingerRegistry::Keep() {
  std::unique_lock<std::mutex> g(mu);
  for (;;) {
    auto now = Clock::now();
    auto next = Clock::time_point::max();
    for (LingeringLock* l : locks) {
      if (Drop(l, now, false)) continue;
      // A lock in use past its time is let go by its handle itself.
      auto due = l->since_ + LingeringLock::kMaxHold;
      if (l->held_ == LingeringLock::Held::kExclusive && l->keepable_ && now < due)
        next = std::min(next, due);
    }
    for (KeptRecordLocks* k : records) {
      k->LetGoAlone(now, false);
      next = std::min(next, k->due());
    }
    keeper_wakes = next;
    if (next == Clock::time_point::max())
      cv->wait(g);
    else
      cv->wait_until(g, next);
  }
}

bool LingerAllowed(Env* env) {
  static const bool off = [] {
    const char* v = std::getenv("QZ_NO_LOCK_LINGER");
    return v && *v && *v != '0';
  }();
  return !off && env == Env::Default();
}

LingeringLock::LingeringLock(Env* env, File* file, uint64_t offset)
    : file_(file), offset_(offset), linger_(LingerAllowed(env)) {
  if (!linger_) return;
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  r.locks.push_back(this);
}

LingeringLock::~LingeringLock() {
  if (!linger_) {
    if (held_ != Held::kNone) (void)file_->Unlock(offset_, 1);
    return;
  }
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  r.locks.erase(std::find(r.locks.begin(), r.locks.end(), this));
  if (held_ != Held::kNone) (void)file_->Unlock(offset_, 1);
}

Status LingeringLock::Lock(bool exclusive) {
  was_kept_ = false;
  if (!linger_) {
    Status s = file_->Lock(offset_, 1, exclusive);
    if (s.ok()) held_ = exclusive ? Held::kExclusive : Held::kShared;
    return s;
  }
  LingerRegistry& r = LingerRegistry::Get();
  {
    std::lock_guard<std::mutex> g(r.mu);
    if (held_ == Held::kExclusive) {
      // Still ours from a moment ago (or from this very operation).
      was_kept_ = !in_use_;
      in_use_ = true;
      return Status::OK();
    }
  }
  Status s = file_->Lock(offset_, 1, exclusive);
  if (s.IsBusy()) {
    // Perhaps one of our own kept locks, on another handle of this file.
    ReleaseLingeringLocks();
    s = file_->Lock(offset_, 1, exclusive);
  }
  if (!s.ok()) return s;
  std::lock_guard<std::mutex> g(r.mu);
  held_ = exclusive ? Held::kExclusive : Held::kShared;
  in_use_ = true;
  keepable_ = false;
  if (exclusive) {
    since_ = Clock::now();
    keepable_ = since_ >= no_keep_until_;
    if (keepable_) r.WakeKeeperBy(since_ + kMaxHold);
  }
  return Status::OK();
}

Status LingeringLock::Unlock() {
  if (!linger_) {
    held_ = Held::kNone;
    return file_->Unlock(offset_, 1);
  }
  LingerRegistry& r = LingerRegistry::Get();
  std::unique_lock<std::mutex> g(r.mu);
  in_use_ = false;
  if (held_ == Held::kExclusive && keepable_) {
    auto now = Clock::now();
    if (now < since_ + kMaxHold) return Status::OK();  // kept
    no_keep_until_ = now + kGap;  // held its full time: the others' turn
  }
  held_ = Held::kNone;
  keepable_ = false;
  g.unlock();
  return file_->Unlock(offset_, 1);
}

Status LingeringLock::UnlockNow() {
  if (!linger_) {
    if (held_ == Held::kNone) return Status::OK();
    held_ = Held::kNone;
    return file_->Unlock(offset_, 1);
  }
  LingerRegistry& r = LingerRegistry::Get();
  std::unique_lock<std::mutex> g(r.mu);
  in_use_ = false;
  if (held_ == Held::kNone) return Status::OK();
  held_ = Held::kNone;
  keepable_ = false;
  g.unlock();
  return file_->Unlock(offset_, 1);
}

void ReleaseLingeringLocks() {
  LingerRegistry& r = LingerRegistry::Get();
  std::lock_guard<std::mutex> g(r.mu);
  auto now = LingeringLock::Clock::now();
  for (LingeringLock* l : r.locks) LingerRegistry::Drop(l, now, true);
  for (KeptRecordLocks* k : r.records) k->LetGoAlone(now, true);
}

}  // namespace xb
