#include "payroll/simple_catalog.h"

#include "lib/ui/catalog_data.h"

namespace qz {

SimpleCatalog::SimpleCatalog(Desktop& desktop, const std::string& template_name,
                             const std::string& business, const SimpleCatalogDef& def)
    : CatalogScreen(desktop, template_name, business, def.setup), def_(def) {}

void SimpleCatalog::FillCombo(WDIAG& dlg, const CatalogCombo& c) {
  CCOMBOBOX combo(dlg, c.control);
  combo.CLEAR();
  TablePtr lookup = OpenTable(&dlg, c.table);
  if (!lookup) return;
  xb::Table& t = lookup->table();
  std::optional<xb::Value> scope = xb::Value::Char(Negocio() + c.scope_suffix);
  if (t.SetOrder(c.tag).ok() && t.SetScope(scope, scope).ok()) {
    for (t.GoTop(); !t.Eof(); t.Skip(1)) {
      auto code = t.Get(c.cargo_field);
      combo.ADD(FieldText(t, c.text_field), code.ok() ? FromField(*code) : "");
    }
  }
  CloseTable(lookup);
}

void SimpleCatalog::LoadEditControls(WDIAG& dlg, int mode) {
  // The drop-downs are filled first: filling moves no cursor of the catalog.
  for (const auto& c : def_.combos) FillCombo(dlg, c);
  if (mode != 1) {
    for (const auto& ch : def_.choices)
      if (!ch.controls.empty()) dlg.SetCheck(ch.controls.front(), 1);
    return;
  }
  xb::Table& t = *main_table();
  for (const auto& c : def_.combos) {
    auto v = t.Get(c.field);
    if (v.ok() && v->is_char()) CCOMBOBOX(dlg, c.control).SEEKCARGO(FromField(*v));
  }
  auto number = [&t](const std::string& field) {
    auto v = t.Get(field);
    return v.ok() && v->is_numeric() ? static_cast<int>(v->number()) : 0;
  };
  for (const auto& f : def_.flags) dlg.SetCheck(f.control, number(f.field) == 1 ? 1 : 0);
  for (const auto& ch : def_.choices) {
    int n = number(ch.field);
    if (n < 0 || n >= static_cast<int>(ch.controls.size())) n = 0;
    if (!ch.controls.empty()) dlg.SetCheck(ch.controls[n], 1);
  }
}

void SimpleCatalog::WriteEditFields(WDIAG& dlg, xb::Table& t) {
  for (const auto& c : def_.combos) {
    // Nothing chosen keeps what the row had (a new row stays blank).
    auto cargo = CCOMBOBOX(dlg, c.control).CURCARGO();
    int width = FieldWidth(t, c.field);
    if (cargo && width > 0) t.Put(c.field, xb::Value::Char(ToField(*cargo, width)));
  }
  for (const auto& f : def_.flags)
    if (t.FieldIndex(f.field) >= 0) t.Put(f.field, xb::Value::Number(dlg.Check(f.control) ? 1 : 0));
  for (const auto& ch : def_.choices) {
    if (t.FieldIndex(ch.field) < 0) continue;
    int chosen = 0;
    for (size_t i = 0; i < ch.controls.size(); ++i)
      if (dlg.Check(ch.controls[i])) chosen = static_cast<int>(i);
    t.Put(ch.field, xb::Value::Number(chosen));
  }
}

}  // namespace qz
