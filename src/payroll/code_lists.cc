#include "payroll/code_lists.h"

#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

void FillScoped(CCOMBOBOX& combo, WDIAG* owner, const std::string& table, const std::string& tag,
                const std::string& prefix) {
  TablePtr handle = OpenTable(owner, table);
  if (!handle) return;
  xb::Table& t = handle->table();
  std::optional<xb::Value> scope = xb::Value::Char(prefix);
  bool ordered = tag.empty() ? t.SetOrder(1).ok() : t.SetOrder(tag).ok();
  if (ordered && t.SetScope(scope, scope).ok()) {
    for (t.GoTop(); !t.Eof(); t.Skip(1)) {
      auto code = t.Get("CODIGO");
      std::string cargo = code.ok() ? FromField(*code) : "";
      std::string text = FieldText(t, "DESCRIP");
      combo.ADD(text.empty() ? TrimRight(cargo) : text, cargo);
    }
  }
  CloseTable(handle);
}

}  // namespace

void FillCodes(CCOMBOBOX& combo, WDIAG* owner, const std::string& table,
               const std::string& business) {
  FillScoped(combo, owner, table, "", business);
}

void FillSerials(CCOMBOBOX& combo, WDIAG* owner, const std::string& business) {
  FillScoped(combo, owner, "SERIALES", "SERIAL3", business + "06" + std::string(7, ' '));
}

std::string DefaultInitialStage(WDIAG* owner, const std::string& business) {
  TablePtr f_plan = OpenTable(owner, "F_PLAN");
  std::string stage;
  if (f_plan) {
    xb::Table& t = f_plan->table();
    if (t.SetOrder(1).ok() && t.Seek(xb::Value::Char(business)).ok() && t.Found())
      stage = FieldBytes(t, "ETAP_INI");
    CloseTable(f_plan);
  }
  return stage;
}

void FillLinks(CCOMBOBOX& combo, WDIAG* owner, const std::string& business,
               const std::string& module) {
  std::string padded = module;
  padded.resize(9, ' ');
  FillScoped(combo, owner, "LIGAS", "LIGA3", business + padded);
}

}  // namespace qz
