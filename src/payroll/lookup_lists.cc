#include "payroll/lookup_lists.h"

#include "lib/ui/catalog_data.h"

namespace qz {

void FillLookup(WDIAG& w, int id, const LookupSource& s) {
  TablePtr handle = OpenTable(&w, s.table);
  if (!handle) return;
  xb::Table& t = handle->table();
  std::optional<xb::Value> scope;
  if (!s.prefix.empty()) scope = xb::Value::Char(s.prefix);
  if (t.SetOrder(s.tag).ok() && t.SetScope(scope, scope).ok()) {
    for (t.GoTop(); !t.Eof(); t.Skip(1)) {
      if (s.keep && !s.keep(t)) continue;
      w.AddEntry(id, FieldText(t, s.text), FieldText(t, s.code));
    }
  }
  CloseTable(handle);
}

void FillFixed(WDIAG& w, int id, const std::vector<std::pair<std::string, std::string>>& entries) {
  for (const auto& [text, cargo] : entries) w.AddEntry(id, text, cargo);
}

}  // namespace qz
