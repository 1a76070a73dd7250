// What the tests of the catalogs with their own edit forms share: two
// businesses, the tables those screens read and re-key, and reading rows
// back from the files as another workstation would.
#pragma once

#include <string>
#include <vector>

#include "support/ui_session.h"

namespace qztest {

class CatalogEditorsTest : public UiSession {
 protected:
  const std::string hc = Biz("HOTEL CENTRAL"), hp = Biz("HOTEL PLAYA");

  // The live rows of `table` in record order as "F1=v1 F2=v2 ...", only
  // those of business `business` ("" = all); numbers without decimals
  // when whole.
  std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields,
                                const std::string& business = "HOTEL CENTRAL") {
    auto t = xb::Table::Open(file(table + ".DBF"));
    std::vector<std::string> out;
    if (!t.ok()) return {"<" + t.status().ToString() + ">"};
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if (!business.empty() && qz::FieldText(**t, "NEGOCIO") != business) continue;
      std::string line;
      for (const auto& f : fields) {
        auto v = (*t)->Get(f);
        std::string text;
        if (v.ok() && v->is_numeric()) {
          char buf[32];
          std::snprintf(buf, sizeof buf, "%g", v->number());
          text = buf;
        } else {
          text = qz::FieldText(**t, f);
        }
        line += (line.empty() ? "" : " ") + f + "=" + text;
      }
      out.push_back(line);
    }
    return out;
  }

  // Another workstation holds record `recno` of `table` locked while the
  // returned handle lives.
  std::unique_ptr<xb::Table> LockedBy(const std::string& table, uint32_t recno) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    EXPECT_TRUE(t.ok());
    EXPECT_TRUE((*t)->LockRecord(recno).ok());
    return std::move(*t);
  }

  qz::WDIAG* Window(const std::string& template_name) { return desktop.FindWindow(template_name); }
  const qz::EditAction* Entry(const std::string& caption) {
    for (const auto& e : desktop.edit_menu())
      if (e.caption == caption) return &e;
    return nullptr;
  }
};

}  // namespace qztest
