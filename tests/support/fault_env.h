// An Env that passes everything to the real one but can be told to fail:
// writes (as I/O errors or short writes), syncs and lock requests.
#pragma once

#include <atomic>
#include <memory>

#include "xbase/env.h"

namespace qztest {

struct Faults {
  std::atomic<int> fail_writes_after{-1};  // writes allowed before failing; -1 = never
  std::atomic<bool> short_writes{false};   // a failing write first writes half its bytes
  std::atomic<bool> refuse_locks{false};
  std::atomic<bool> fail_sync{false};
};

class FaultFile : public xb::File {
 public:
  FaultFile(std::unique_ptr<xb::File> base, Faults* f) : File(base->path()), base_(std::move(base)), f_(f) {}
  xb::Status ReadAt(uint64_t o, void* b, size_t n, size_t* got) override { return base_->ReadAt(o, b, n, got); }
  xb::Status WriteAt(uint64_t o, const void* b, size_t n) override {
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
  xb::Status Truncate(uint64_t s) override { return base_->Truncate(s); }
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
    return Wrap(base_->Open(p, m));
  }
  xb::Result<std::unique_ptr<xb::File>> Create(const std::string& p, bool t) override {
    return Wrap(base_->Create(p, t));
  }
  xb::Status Remove(const std::string& p) override { return base_->Remove(p); }
  xb::Status Rename(const std::string& a, const std::string& b) override { return base_->Rename(a, b); }
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
