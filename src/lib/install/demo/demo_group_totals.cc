// Year-end bonus reductions of the demo: some active employees of every
// business have an amount their bonus is to be reduced by (ENC_PERS
// AJUSTE_AG), a tenth of their monthly salary rounded to thousands, so the
// reduction screen shows entries in each department. Chosen by position,
// not by the random source, so the parts after this one see the same
// numbers as without it.
#include <cmath>
#include <map>

#include "lib/install/demo/demo_context.h"
#include "xbase/value.h"

namespace qz::demo {

xb::Status AddBonusReductions(Context& c) {
  auto t = c.Open("ENC_PERS");
  if (!t.ok()) return t.status();
  xb::Table& p = **t;
  std::map<std::string, const Employee*> by_key;
  for (const Employee& e : c.employees) by_key[e.business + "|" + e.code] = &e;
  auto text = [&](const char* field) {
    auto v = p.Get(field);
    std::string s = v.ok() && v->is_char() ? v->str() : std::string();
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  };
  int seen = 0;
  XB_RETURN_IF_ERROR(p.GoTop());
  for (; !p.Eof(); p.Skip(1)) {
    auto it = by_key.find(text("NEGOCIO") + "|" + text("CODIGO"));
    if (it == by_key.end() || !it->second->active || ++seen % 6 != 1) continue;
    const double amount = std::round(it->second->monthly / 10 / 1000) * 1000;
    XB_RETURN_IF_ERROR(p.Put("AJUSTE_AG", xb::Value::Number(amount)));
    XB_RETURN_IF_ERROR(p.WriteBack());
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
