#include "payroll/field_binding.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

std::string NumberText(double n, const std::string& picture) {
  std::string s = IsNumericPicture(picture) ? FormatNumber(n, picture)
                                            : FormatNumber(n, "9999999999.99999");
  size_t first = s.find_first_not_of(' ');
  s = first == std::string::npos ? "" : s.substr(first);
  if (!IsNumericPicture(picture) && s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s;
}

std::string PictureOf(const WDIAG& w, int id) {
  const ControlState* c = w.Control(id);
  return c && c->node ? c->node->picture : std::string();
}

}  // namespace

RecordCopy ReadRecord(const xb::Table& t) {
  RecordCopy copy;
  const bool at_end = t.Eof();
  for (const auto& f : t.fields()) {
    xb::Value v;
    auto got = at_end ? xb::Result<xb::Value>(xb::Status::NotFound("")) : t.Get(f.name);
    if (f.type == 'C' || f.type == 'M') {
      v = xb::Value::Char(got.ok() ? TrimRight(FromField(*got)) : "");
    } else if (f.type == 'D') {
      v = xb::Value::Date(got.ok() && !got->is_null() ? got->date() : 0);
    } else if (f.type == 'L') {
      v = xb::Value::Logical(got.ok() && got->logical());
    } else {
      v = xb::Value::Number(got.ok() && got->is_numeric() ? got->number() : 0);
    }
    copy[f.name] = v;
  }
  return copy;
}

void WriteRecord(xb::Table& t, const RecordCopy& copy, const std::set<std::string>& fields) {
  for (const auto& name : fields) {
    int idx = t.FieldIndex(name);
    auto it = copy.find(name);
    if (idx < 0 || it == copy.end()) continue;
    const xb::FieldDef& f = t.fields()[idx];
    const xb::Value& v = it->second;
    if (f.type == 'C') {
      t.Put(idx, xb::Value::Char(ToField(v.is_char() ? v.str() : "", f.len)));
    } else if (f.type == 'M') {
      t.Put(idx, xb::Value::Char(ToField(v.is_char() ? v.str() : "", 0)));
    } else if (f.type == 'D') {
      t.Put(idx, xb::Value::Date(v.date()));
    } else if (f.type == 'L') {
      t.Put(idx, xb::Value::Logical(v.logical()));
    } else {
      t.Put(idx, xb::Value::Number(v.is_numeric() ? v.number() : 0));
    }
  }
}

double CopyNumber(const RecordCopy& c, const std::string& field) {
  auto it = c.find(field);
  return it != c.end() && it->second.is_numeric() ? it->second.number() : 0;
}

std::string CopyText(const RecordCopy& c, const std::string& field) {
  auto it = c.find(field);
  return it != c.end() && it->second.is_char() ? it->second.str() : std::string();
}

void ShowRecord(WDIAG& w, const Bindings& b, const RecordCopy& copy) {
  for (const auto& f : b) {
    auto it = copy.find(f.field);
    xb::Value v = it == copy.end() ? xb::Value() : it->second;
    switch (f.kind) {
      case Bound::kText:
        w.SetText(f.id, v.is_char() ? v.str() : "");
        break;
      case Bound::kNumber:
        w.SetText(f.id, NumberText(v.is_numeric() ? v.number() : 0, PictureOf(w, f.id)));
        break;
      case Bound::kCheck:
        w.SetCheck(f.id, v.is_numeric() && v.number() != 0 ? 1 : 0);
        break;
      case Bound::kRadio:
        if (static_cast<int>(v.is_numeric() ? v.number() : 0) == f.value) w.SetCheck(f.id, 1);
        break;
      case Bound::kRadioCode:
        if (v.is_char() && v.str() == f.code) w.SetCheck(f.id, 1);
        break;
      case Bound::kDate:
        w.SetDate(f.id, v.is_null() ? 0 : v.date());
        break;
      case Bound::kCombo: {
        CCOMBOBOX combo(w, f.id);
        std::string code = v.is_char() ? v.str() : "";
        if (!combo.SEEKCARGO(code)) combo.SEEKCARGO(TrimRight(code));
        break;
      }
    }
  }
}

bool TakeRecord(WDIAG& w, const Bindings& b, RecordCopy* copy) {
  for (const auto& f : b) {
    if (f.kind == Bound::kNumber && !ParseNumber(w.Text(f.id))) {
      MESSAGE_BOX(NotANumberMessage(w.Text(f.id)), "Error", kMbIconStop);
      w.SetFocus(f.id);
      return false;
    }
    if (f.kind == Bound::kDate && !w.DateValue(f.id)) {
      MESSAGE_BOX(NotADateMessage(w.Text(f.id)), "Error", kMbIconStop);
      w.SetFocus(f.id);
      return false;
    }
  }
  for (const auto& f : b) {
    switch (f.kind) {
      case Bound::kText:
        (*copy)[f.field] = xb::Value::Char(TrimRight(w.Text(f.id)));
        break;
      case Bound::kNumber:
        (*copy)[f.field] = xb::Value::Number(ParseNumber(w.Text(f.id)).value_or(0));
        break;
      case Bound::kCheck:
        (*copy)[f.field] = xb::Value::Number(w.Check(f.id) ? 1 : 0);
        break;
      case Bound::kRadio:
        if (w.Check(f.id)) (*copy)[f.field] = xb::Value::Number(f.value);
        break;
      case Bound::kRadioCode:
        if (w.Check(f.id)) (*copy)[f.field] = xb::Value::Char(f.code);
        break;
      case Bound::kDate:
        (*copy)[f.field] = xb::Value::Date(w.DateValue(f.id).value_or(0));
        break;
      case Bound::kCombo: {
        CCOMBOBOX combo(w, f.id);
        if (auto cargo = combo.CURCARGO()) (*copy)[f.field] = xb::Value::Char(*cargo);
        break;
      }
    }
  }
  return true;
}

void AddFields(const Bindings& b, std::set<std::string>* fields) {
  for (const auto& f : b) fields->insert(f.field);
}

std::string NotADateMessage(const std::string& text) {
  return "La fecha \"" + text + "\" no es válida";
}

}  // namespace qz
