// A session for the format screens: the screens reached through the menu
// registry the program uses, and the rows of a table read back from its file.
#pragma once

#include <string>
#include <vector>

#include "lib/ui/catalog.h"
#include "lib/ui/menu_registry.h"
#include "payroll/payroll_screens.h"
#include "support/ui_session.h"

namespace qztest {

class FormatSession : public UiSession {
 protected:
  const std::string hc = Biz("HOTEL CENTRAL");
  const std::string hp = Biz("HOTEL PLAYA");

  FormatSession() { qz::RegisterPayrollScreens(registry, desktop); }

  // Opens menu screen `name` from `tmpl` for `business`, as its menu entry
  // does; the window, or null.
  template <class S = qz::WDIAG>
  S* OpenFromMenu(const std::string& name, const std::string& tmpl,
                  const std::string& business = "") {
    const qz::ScreenOpener* open = registry.Find(name);
    if (!open) return nullptr;
    (*open)(business.empty() ? hc : business, tmpl);
    return dynamic_cast<S*>(desktop.FindWindow(tmpl));
  }
  template <class E>
  E* Window(const std::string& tmpl) {
    return dynamic_cast<E*>(desktop.FindWindow(tmpl));
  }

  // Every live row of `table` as "f1|f2|..." (texts trimmed, numbers as
  // integers or with their decimals), in record order; rows of `business`
  // only when given.
  std::vector<std::string> Rows(const std::string& table, const std::vector<std::string>& fields,
                                const std::string& business = "") {
    auto t = xb::Table::Open(file(table + ".DBF"));
    std::vector<std::string> out;
    if (!t.ok()) return out;
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
      if (!business.empty() && qz::FieldText(**t, "NEGOCIO") != qz::TrimRight(business)) continue;
      std::string line;
      for (const auto& f : fields) {
        auto v = (*t)->Get(f);
        std::string text;
        if (v.ok() && v->is_numeric()) {
          double n = v->number();
          text = n == static_cast<long long>(n) ? std::to_string(static_cast<long long>(n))
                                                 : std::to_string(n);
        } else if (v.ok()) {
          text = qz::TrimRight(qz::FromField(*v));
        }
        line += (line.empty() ? "" : "|") + text;
      }
      out.push_back(line);
    }
    return out;
  }
  // The raw bytes of one field of the first live row of HOTEL CENTRAL
  // whose CODIGO is `code`.
  std::string Raw(const std::string& table, const std::string& code, const std::string& field) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1))
      if (qz::FieldText(**t, "CODIGO") == code && qz::FieldText(**t, "NEGOCIO") == "HOTEL CENTRAL")
        return (*t)->Get(field)->str();
    return "<none>";
  }
  const qz::EditAction* Entry(const std::string& caption) {
    for (const auto& e : desktop.edit_menu())
      if (e.caption == caption) return &e;
    return nullptr;
  }
  std::vector<std::string> EditCaptions() {
    std::vector<std::string> out;
    for (const auto& e : desktop.edit_menu()) out.push_back(e.caption);
    return out;
  }
  // Entries of a list or combo control.
  static std::vector<std::string> Texts(const qz::WDIAG* w, int id) {
    std::vector<std::string> out;
    if (const qz::ControlState* c = w->Control(id))
      for (const auto& e : c->entries) out.push_back(e.text);
    return out;
  }

  qz::MenuRegistry registry;
};

}  // namespace qztest
