// The demo installation for tests. Its thirteen months of payrolls, opened
// one by one through the consolidation, take many seconds to build; a copy
// takes a fraction of one. So the demo is built once per build of the
// program's library (in the build folder, under a lock that concurrent test
// processes share) and each test gets its own copy.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "lib/install/installation.h"

namespace qztest {

// Copies the default demo installation into `dir` (which must not exist yet).
inline xb::Status CopyDemoInstallation(const std::string& dir) {
  namespace fs = std::filesystem;
  const std::string build = QZ_BINARY_DIR;
  // A new library makes a new demo.
  struct stat st {};
  stat((build + "/libqz_lib.a").c_str(), &st);
  const std::string key = std::to_string(st.st_mtim.tv_sec) + "-" + std::to_string(st.st_size);
  const fs::path cache = fs::path(build) / "test-demo" / key;
  fs::create_directories(cache.parent_path());
  const std::string lock_path = (cache.parent_path() / "lock").string();
  int lock = open(lock_path.c_str(), O_CREAT | O_RDWR, 0644);
  if (lock < 0) return xb::Status::IOError(lock_path + ": cannot be opened");
  flock(lock, LOCK_EX);
  xb::Status s;
  std::error_code ec;
  if (!fs::exists(cache / "DONE")) {
    // Earlier demos (an older library) and a half-built one go.
    for (const auto& old : fs::directory_iterator(cache.parent_path(), ec))
      if (old.is_directory()) fs::remove_all(old.path(), ec);
    fs::create_directories(cache, ec);
    qz::InstallOptions o;
    o.demo = true;
    auto made = qz::CreateInstallation((cache / "inst").string(), o);
    if (made.ok())
      std::ofstream(cache / "DONE") << key;
    else
      s = made.status();
  }
  flock(lock, LOCK_UN);
  close(lock);
  if (!s.ok()) return s;
  fs::copy(cache / "inst", dir, fs::copy_options::recursive, ec);
  if (ec) return xb::Status::IOError(dir + ": the demo could not be copied: " + ec.message());
  return xb::Status::OK();
}

}  // namespace qztest
