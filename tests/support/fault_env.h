// An Env that passes everything to the real one but can be told to fail:
// writes (as I/O errors or short writes), syncs and lock requests. In `killed`
// mode it plays a process killed after its N-th change to the disk: the
// change budget counts writes, truncations, renames, removals and creations;
// once it is spent nothing reaches the disk any more, except (with
// short_writes) the first half of the write that was under way.
#pragma once

#include <atomic>
#include <memory>

#include "xbase/env.h"

namespace qztest {

struct Faults {
  std::atomic<int> fail_writes_after{-1};  // writes allowed before failing; -1 = never
  std::atomic<bool> short_writes{false};   // a failing write first writes half its bytes
  std::atomic<bool> refuse_locks{false};
  std::atomic<bool> refuse_write_opens{false};  // a user allowed to read the files only
  std::atomic<bool> fail_sync{false};
  std::atomic<bool> killed{false};  // see above
  std::atomic<long> changes{0};     // changes made to the disk so far
  std::atomic<bool> dead{false};    // killed mode: the budget is spent

  // Killed mode: whether one more change may reach the disk.
  bool Allow() {
    if (!killed) return true;
    if (dead) return false;
    int left = fail_writes_after.load();
    if (left == 0) {
      dead = true;
      return false;
    }
    if (left > 0) fail_writes_after = left - 1;
    ++changes;
    return true;
  }
};

class FaultFile : public xb::File {
 public:
  FaultFile(std::unique_ptr<xb::File> base, Faults* f) : File(base->path()), base_(std::move(base)), f_(f) {}
  xb::Status ReadAt(uint64_t o, void* b, size_t n, size_t* got) override { return base_->ReadAt(o, b, n, got); }
  xb::Status WriteAt(uint64_t o, const void* b, size_t n) override {
    if (f_->killed) {
      bool torn = !f_->dead && f_->fail_writes_after.load() == 0 && f_->short_writes && n > 1;
      if (f_->Allow()) return base_->WriteAt(o, b, n);
      if (torn) base_->WriteAt(o, b, n / 2);
      return xb::Status::IOError(path() + ": write: process killed");
    }
    int left = f_->fail_writes_after.load();
    if (left == 0) {
      if (f_->short_writes && n > 1) base_->WriteAt(o, b, n / 2);
      return xb::Status::IOError(path() + ": write: injected failure");
    }
    if (left > 0) f_->fail_writes_after = left - 1;
    return base_->WriteAt(o, b, n);
  }
  xb::Status Sync() override {
    return f_->fail_sync ? xb::Status::IOError(path() + ": sync: injected failure") : base_->Sync();
  }
  xb::Status Size(uint64_t* s) override { return base_->Size(s); }
  xb::Status Truncate(uint64_t s) override {
    if (!f_->Allow()) return xb::Status::IOError(path() + ": truncate: process killed");
    return base_->Truncate(s);
  }
  xb::Status Lock(uint64_t o, uint64_t l, bool x) override {
    if (f_->refuse_locks) return xb::Status::Busy(path() + ": locked by another user");
    return base_->Lock(o, l, x);
  }
  xb::Status Unlock(uint64_t o, uint64_t l) override { return base_->Unlock(o, l); }

 private:
  std::unique_ptr<xb::File> base_;
  Faults* f_;
};

class FaultEnv : public xb::Env {
 public:
  Faults faults;
  xb::Result<std::unique_ptr<xb::File>> Open(const std::string& p, xb::OpenMode m) override {
    if (faults.refuse_write_opens && m == xb::OpenMode::kReadWrite)
      return xb::Status::ReadOnly(p + ": permission denied");
    return Wrap(base_->Open(p, m));
  }
  xb::Result<std::unique_ptr<xb::File>> Create(const std::string& p, bool t) override {
    if (!faults.Allow()) return xb::Status::IOError(p + ": create: process killed");
    return Wrap(base_->Create(p, t));
  }
  xb::Status Remove(const std::string& p) override {
    if (!faults.Allow()) return xb::Status::IOError(p + ": remove: process killed");
    return base_->Remove(p);
  }
  xb::Status Rename(const std::string& a, const std::string& b) override {
    if (!faults.Allow()) return xb::Status::IOError(a + ": rename: process killed");
    return base_->Rename(a, b);
  }
  xb::Status Stat(const std::string& p, xb::FileInfo* i) override { return base_->Stat(p, i); }
  xb::Status ListDir(const std::string& d, std::vector<std::string>* n) override {
    return base_->ListDir(d, n);
  }
  xb::Status MakeDir(const std::string& d) override { return base_->MakeDir(d); }

 private:
  xb::Result<std::unique_ptr<xb::File>> Wrap(xb::Result<std::unique_ptr<xb::File>> r) {
    if (!r.ok()) return r.status();
    return std::unique_ptr<xb::File>(new FaultFile(std::move(*r), &faults));
  }
  xb::Env* base_ = xb::Env::Default();
};

}  // namespace qztest
