// A copy of the demo installation with the data layer started on it, for
// the payroll computations checked against the demo's own rows, and plain
// readers of those rows (opened apart from the data layer, as a second
// program would).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog_data.h"
#include "support/demo_copy.h"
#include "support/temp_dir.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qztest {

class DemoPayrollTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.path() + "/inst/";
    xb::Status made = CopyDemoInstallation(dir.path() + "/inst");
    ASSERT_TRUE(made.ok()) << made.ToString();
    qz::ResetGlobals();
    qz::G().EXT_MODULO = "PCFG";
    ASSERT_EQ(qz::StartDataLayer(root), qz::StartResult::kContinue);
    auto depts = Open("ENC_DEPT");
    ASSERT_TRUE(depts->GoTop().ok());
    negocio = Text(*depts, "NEGOCIO");  // the first business
  }

  std::unique_ptr<xb::Table> Open(const std::string& table) {
    auto t = xb::Table::Open(root + "BASES/" + table + ".DBF");
    EXPECT_TRUE(t.ok()) << table << ": " << t.status().ToString();
    return t.ok() ? std::move(*t) : nullptr;
  }
  // Calls `fn` on each row of `table` whose key on `tag` starts with
  // `prefix`, in key order.
  void Each(const std::string& table, const std::string& tag, const std::string& prefix,
            const std::function<void(xb::Table&)>& fn) {
    auto t = Open(table);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->SetOrder(tag).ok()) << tag;
    const xb::Value key = xb::Value::Char(prefix);
    ASSERT_TRUE(t->SetScope(key, key).ok());
    for (xb::Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) fn(*t);
  }
  // Writes `field` of the rows `match` picks, as another program would.
  void Update(const std::string& table, const std::function<bool(xb::Table&)>& match,
              const std::string& field, const xb::Value& v) {
    auto t = Open(table);
    ASSERT_NE(t, nullptr);
    for (xb::Status s = t->GoTop(); s.ok() && !t->Eof(); s = t->Skip(1)) {
      if (!match(*t)) continue;
      ASSERT_TRUE(t->LockRecord().ok());
      ASSERT_TRUE(t->Put(field, v).ok());
      ASSERT_TRUE(t->Flush().ok());
      ASSERT_TRUE(t->UnlockAll().ok());
    }
  }

  // Fields as stored: text blank-padded, numbers, dates as Julian days.
  static std::string Text(const xb::Table& t, const char* f) {
    auto v = t.Get(f);
    return v.ok() && v->is_char() ? v->str() : std::string();
  }
  static double Num(const xb::Table& t, const char* f) {
    auto v = t.Get(f);
    return v.ok() && v->is_numeric() ? v->number() : 0;
  }
  static int32_t Date(const xb::Table& t, const char* f) {
    auto v = t.Get(f);
    return v.ok() && v->type() == xb::Value::Type::kDate ? v->date() : 0;
  }
  static std::string Pad(const std::string& s, size_t n) { return (s + std::string(n, ' ')).substr(0, n); }

  TempDir dir;
  std::string root;
  std::string negocio;  // padded to 15
};

}  // namespace qztest
