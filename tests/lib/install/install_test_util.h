// Shared helpers of the installer tests: one installation per suite (an init
// and a demo take seconds, not milliseconds), and reading tables back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lib/install/catalog.h"
#include "lib/install/installation.h"
#include "support/demo_copy.h"
#include "support/temp_dir.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace qztest {

inline const qz::Catalog& TheCatalog() {
  auto c = qz::EmbeddedCatalog();
  EXPECT_TRUE(c.ok()) << c.status().ToString();
  return **c;
}

// An installation made once and shared by the tests of a suite.
class SharedInstallation {
 public:
  // The demo is a copy of the one built once per build (demo_copy.h).
  explicit SharedInstallation(bool demo) {
    if (demo) {
      status = CopyDemoInstallation(dir());
      return;
    }
    auto r = qz::CreateInstallation(dir(), qz::InstallOptions{});
    status = r.ok() ? xb::Status::OK() : r.status();
    if (r.ok()) report = *r;
  }
  std::string dir() const { return tmp.path() + "/inst"; }
  std::string bases() const { return dir() + "/BASES"; }

  TempDir tmp;
  xb::Status status;
  qz::InstallReport report;
};

inline std::unique_ptr<xb::Table> OpenRead(const std::string& path) {
  xb::OpenOptions o;
  o.read_only = true;
  auto t = xb::Table::Open(path, o);
  EXPECT_TRUE(t.ok()) << path << ": " << t.status().ToString();
  return t.ok() ? std::move(*t) : nullptr;
}

// Every visible row of a table as field -> value (text trimmed, in UTF-8).
using Record = std::map<std::string, xb::Value>;
inline std::vector<Record> ReadAll(const std::string& path) {
  std::vector<Record> rows;
  auto t = OpenRead(path);
  if (!t) return rows;
  for (xb::Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) {
    Record r;
    for (const auto& f : t->fields()) {
      auto v = t->Get(f.name);
      if (!v.ok()) continue;
      xb::Value val = *v;
      if (val.is_char()) {
        std::string s8 = xb::ToUtf8(val.str());
        s8.erase(s8.find_last_not_of(' ') + 1);
        val = xb::Value::Char(s8);
      }
      r[f.name] = val;
    }
    rows.push_back(r);
  }
  return rows;
}

inline std::string Str(const Record& r, const std::string& f) {
  auto it = r.find(f);
  return it == r.end() ? "" : it->second.str();
}
inline double Num(const Record& r, const std::string& f) {
  auto it = r.find(f);
  return it == r.end() ? 0 : it->second.number();
}

}  // namespace qztest
