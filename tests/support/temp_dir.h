// A scratch folder per test, removed afterwards; fixture copies go there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qztest {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qztest-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Copies fixture files (all extensions of `table`, as they are named) here.
  void CopyFixture(const std::string& table) const {
    namespace fs = std::filesystem;
    for (const auto& e : fs::directory_iterator(std::string(QZ_FIXTURES_DIR) + "/xbase")) {
      std::string stem = e.path().stem().string();
      if (stem == table && e.path().extension() != ".json") {
        fs::path dst = fs::path(path_) / e.path().filename();
        fs::copy_file(e.path(), dst, fs::copy_options::overwrite_existing);
        fs::permissions(dst, fs::perms::owner_read | fs::perms::owner_write);
      }
    }
  }

 private:
  std::string path_;
};

inline std::string FixturePath(const std::string& name) {
  return std::string(QZ_FIXTURES_DIR) + "/xbase/" + name;
}

}  // namespace qztest
