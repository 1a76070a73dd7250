#include "payroll/form_fields.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {

double NumberField(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

std::string NumberText(double n, const std::string& picture) {
  std::string s = FormatNumber(n, picture);
  size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

void LoadBound(WDIAG& w, const xb::Table& t, const std::vector<BoundField>& fields) {
  for (const auto& f : fields) {
    switch (f.kind) {
      case BoundField::kText:
        w.SetText(f.id, FieldText(t, f.field));
        break;
      case BoundField::kNumber:
        w.SetText(f.id, NumberText(NumberField(t, f.field), f.picture));
        break;
      case BoundField::kCheck:
        w.SetCheck(f.id, NumberField(t, f.field) == 1 ? 1 : 0);
        break;
    }
  }
}

bool BoundNumbersValid(WDIAG& w, const std::vector<BoundField>& fields) {
  for (const auto& f : fields) {
    if (f.kind != BoundField::kNumber || ParseNumber(w.Text(f.id))) continue;
    MESSAGE_BOX(NotANumberMessage(w.Text(f.id)), "Error", kMbIconStop);
    w.SetFocus(f.id);
    return false;
  }
  return true;
}

void WriteBound(const WDIAG& w, xb::Table& t, const std::vector<BoundField>& fields) {
  for (const auto& f : fields) {
    if (t.FieldIndex(f.field) < 0) continue;
    switch (f.kind) {
      case BoundField::kText:
        t.Put(f.field, xb::Value::Char(ToField(w.Text(f.id), FieldWidth(t, f.field))));
        break;
      case BoundField::kNumber:
        t.Put(f.field, xb::Value::Number(ParseNumber(w.Text(f.id)).value_or(0)));
        break;
      case BoundField::kCheck:
        t.Put(f.field, xb::Value::Number(w.Check(f.id) ? 1 : 0));
        break;
    }
  }
}

void LoadChoice(WDIAG& w, const xb::Table& t, const std::string& field,
                const std::vector<int>& ids, const std::vector<int>& values) {
  const int stored = static_cast<int>(NumberField(t, field));
  for (size_t i = 0; i < ids.size() && i < values.size(); ++i)
    if (values[i] == stored) w.SetCheck(ids[i], 1);
}

void WriteChoice(const WDIAG& w, xb::Table& t, const std::string& field,
                 const std::vector<int>& ids, const std::vector<int>& values) {
  if (t.FieldIndex(field) < 0) return;
  for (size_t i = 0; i < ids.size() && i < values.size(); ++i)
    if (w.Check(ids[i])) t.Put(field, xb::Value::Number(values[i]));
}

std::string BracketedSelection(const WDIAG& w, int list_id, int width) {
  std::string out;
  const ControlState* c = w.Control(list_id);
  for (size_t i = 0; c && i < c->entries.size(); ++i) {
    if (!c->entries[i].selected) continue;
    std::string item = "[" + TrimRight(ToField(c->entries[i].cargo, 0)) + "]";
    // A cut bracket would misread on the next load.
    if (width > 0 && out.size() + item.size() > static_cast<size_t>(width)) break;
    out += item;
  }
  return out;
}

void SelectBracketed(WDIAG& w, int list_id, const std::string& stored) {
  const ControlState* c = w.Control(list_id);
  if (!c) return;
  for (size_t open = stored.find('['); open != std::string::npos;
       open = stored.find('[', open + 1)) {
    size_t close = stored.find(']', open);
    if (close == std::string::npos) break;
    std::string wanted = TrimRight(stored.substr(open + 1, close - open - 1));
    for (size_t i = 0; i < c->entries.size(); ++i)
      if (TrimRight(c->entries[i].cargo) == wanted) w.SetSelected(list_id, static_cast<int>(i), true);
  }
}

void AddBusinessRows(WDIAG& w, int id, xb::Table& t, const std::string& business,
                     const std::string& text_field,
                     const std::function<bool(const xb::Table&)>& keep) {
  std::optional<xb::Value> scope = xb::Value::Char(business);
  if (!t.SetOrder(1).ok() || !t.SetScope(scope, scope).ok()) return;
  for (t.GoTop(); !t.Eof(); t.Skip(1)) {
    if (keep && !keep(t)) continue;
    auto code = t.Get("CODIGO");
    w.AddEntry(id, FieldText(t, text_field), code.ok() ? TrimRight(FromField(*code)) : "");
  }
  t.SetScope(std::nullopt, std::nullopt);
}

}  // namespace qz
