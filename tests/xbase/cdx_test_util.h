// Helpers shared by the CDX tests: fixture manifests, temporary folders,
// walking a tag.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "xbase/cdx.h"

namespace xb::testing {

inline std::string FixturePath(const std::string& name) {
  return std::string(QZ_FIXTURES_DIR) + "/xbase/" + name;
}

inline nlohmann::json LoadManifest(const std::string& table) {
  std::ifstream in(FixturePath(table + ".json"));
  return nlohmann::json::parse(in);
}

// A fresh folder removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qzcdxXXXXXX").string();
    path_ = mkdtemp(tmpl.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string CopyFixture(const TempDir& dir, const std::string& name) {
  std::string to = dir.File(name);
  std::filesystem::copy_file(FixturePath(name), to);
  std::filesystem::permissions(
      to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  return to;
}

inline std::string ToHex(const std::string& s) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : s) {
    r += d[c >> 4];
    r += d[c & 15];
  }
  return r;
}

inline std::string FromHex(const std::string& h) {
  std::string r;
  for (size_t i = 0; i + 1 < h.size(); i += 2)
    r += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
  return r;
}

using Entries = std::vector<std::pair<std::string, uint32_t>>;

// Every (key, recno) of a tag in its logical order, or backwards.
inline Entries Walk(CdxTag* tag, bool backward = false) {
  Entries out;
  auto c = tag->NewCursor();
  Status s = backward ? c->Last() : c->First();
  EXPECT_TRUE(s.ok()) << s.ToString();
  while (s.ok() && c->Valid()) {
    out.emplace_back(c->key(), c->recno());
    s = backward ? c->Prev() : c->Next();
    EXPECT_TRUE(s.ok()) << s.ToString();
  }
  return out;
}

inline std::vector<uint32_t> Recnos(const Entries& e) {
  std::vector<uint32_t> r;
  for (auto& x : e) r.push_back(x.second);
  return r;
}

}  // namespace xb::testing
