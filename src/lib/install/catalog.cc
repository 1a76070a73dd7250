#include "lib/install/catalog.h"

#include <cctype>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>

#include "lib/install/catalog_data.h"
#include "xbase/expr.h"

namespace qz {
namespace {

using nlohmann::json;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsName(const std::string& s, size_t max_len) {
  if (s.empty() || s.size() > max_len) return false;
  if (!std::isupper(static_cast<unsigned char>(s[0]))) return false;
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!std::isupper(u) && !std::isdigit(u) && c != '_') return false;
  }
  return true;
}

// Reads one member of an object with the type we expect; a missing or
// mistyped member is a message for the catalog's author, not a crash.
template <class T>
xb::Status Member(const json& obj, const char* key, T* out, const std::string& where,
                  bool required = true) {
  auto it = obj.find(key);
  if (it == obj.end()) {
    if (!required) return xb::Status::OK();
    return xb::Status::InvalidArgument(where + ": missing \"" + key + "\"");
  }
  if constexpr (std::is_same_v<T, std::string>) {
    if (!it->is_string())
      return xb::Status::InvalidArgument(where + ": \"" + key + "\" must be text");
    *out = it->get<std::string>();
  } else if constexpr (std::is_same_v<T, bool>) {
    if (!it->is_boolean())
      return xb::Status::InvalidArgument(where + ": \"" + key + "\" must be true or false");
    *out = it->get<bool>();
  } else {
    if (!it->is_number_integer())
      return xb::Status::InvalidArgument(where + ": \"" + key + "\" must be a whole number");
    *out = it->get<T>();
  }
  return xb::Status::OK();
}

xb::Status ParseField(const json& j, const std::string& where, xb::FieldDef* f) {
  if (!j.is_object()) return xb::Status::InvalidArgument(where + ": a field must be an object");
  std::string type;
  int len = 0, dec = 0;
  XB_RETURN_IF_ERROR(Member(j, "name", &f->name, where));
  XB_RETURN_IF_ERROR(Member(j, "type", &type, where + " " + f->name));
  XB_RETURN_IF_ERROR(Member(j, "len", &len, where + " " + f->name));
  XB_RETURN_IF_ERROR(Member(j, "dec", &dec, where + " " + f->name, false));
  if (type.size() != 1 || len < 1 || len > 255 || dec < 0 || dec > 255)
    return xb::Status::InvalidArgument(where + " " + f->name + ": bad type or width");
  f->type = type[0];
  f->len = static_cast<uint8_t>(len);
  f->dec = static_cast<uint8_t>(dec);
  return xb::Status::OK();
}

xb::Status ParseTable(const json& j, const std::string& where, CatalogTable* t) {
  if (!j.is_object()) return xb::Status::InvalidArgument(where + ": a table must be an object");
  XB_RETURN_IF_ERROR(Member(j, "name", &t->name, where));
  std::string here = where + " " + t->name;
  XB_RETURN_IF_ERROR(Member(j, "folder", &t->folder, here));
  XB_RETURN_IF_ERROR(Member(j, "doc", &t->doc, here, false));
  auto fields = j.find("fields");
  if (fields == j.end() || !fields->is_array())
    return xb::Status::InvalidArgument(here + ": \"fields\" must be a list");
  for (const auto& fj : *fields) {
    xb::FieldDef f;
    XB_RETURN_IF_ERROR(ParseField(fj, here, &f));
    t->fields.push_back(f);
  }
  auto tags = j.find("tags");
  if (tags != j.end()) {
    if (!tags->is_array()) return xb::Status::InvalidArgument(here + ": \"tags\" must be a list");
    for (const auto& gj : *tags) {
      if (!gj.is_object()) return xb::Status::InvalidArgument(here + ": a tag must be an object");
      CatalogTag g;
      XB_RETURN_IF_ERROR(Member(gj, "name", &g.name, here));
      XB_RETURN_IF_ERROR(Member(gj, "key", &g.key, here + " tag " + g.name));
      XB_RETURN_IF_ERROR(Member(gj, "for", &g.for_expr, here + " tag " + g.name, false));
      XB_RETURN_IF_ERROR(Member(gj, "descending", &g.descending, here + " tag " + g.name, false));
      t->tags.push_back(g);
    }
  }
  return xb::Status::OK();
}

xb::Status CheckField(const CatalogTable& t, const xb::FieldDef& f) {
  std::string where = t.name + "." + f.name;
  if (!IsName(f.name, 10))
    return xb::Status::InvalidArgument(where + ": field names are upper case, 1 to 10 characters");
  auto fixed = [&](int len) {
    return f.len == len ? xb::Status::OK()
                        : xb::Status::InvalidArgument(where + ": type " + std::string(1, f.type) +
                                                      " has width " + std::to_string(len));
  };
  switch (f.type) {
    case 'C':
      if (f.len > 254) return xb::Status::InvalidArgument(where + ": C fields hold 1 to 254 bytes");
      if (f.dec != 0) return xb::Status::InvalidArgument(where + ": C fields have no decimals");
      return xb::Status::OK();
    case 'N':
    case 'F':
      if (f.len > 20) return xb::Status::InvalidArgument(where + ": numbers have 1 to 20 digits");
      if (f.dec > 0 && f.dec >= f.len - 1)
        return xb::Status::InvalidArgument(where + ": too many decimals for the width");
      return xb::Status::OK();
    case 'D':
      return fixed(8);
    case 'L':
      return fixed(1);
    case 'M':
      return fixed(10);
    case 'I':
      return fixed(4);
    case 'T':
      return fixed(8);
    case 'B':
      return fixed(8);
    case 'Y':
      return fixed(8);
    default:
      return xb::Status::InvalidArgument(where + ": unknown type " + std::string(1, f.type));
  }
}

xb::Status CheckTable(const CatalogTable& t) {
  if (!IsName(t.name, 8))
    return xb::Status::InvalidArgument(t.name + ": table names are upper case, 1 to 8 characters");
  if (t.folder != "BASES" && t.folder != "PROFILE")
    return xb::Status::InvalidArgument(t.name + ": folder must be BASES or PROFILE");
  if (t.fields.empty() || t.fields.size() > 255)
    return xb::Status::InvalidArgument(t.name + ": a table has 1 to 255 fields");
  std::set<std::string> names;
  size_t record = 1;
  for (const auto& f : t.fields) {
    XB_RETURN_IF_ERROR(CheckField(t, f));
    if (!names.insert(f.name).second)
      return xb::Status::InvalidArgument(t.name + ": field " + f.name + " appears twice");
    record += f.len;
  }
  if (record > 4000)
    return xb::Status::InvalidArgument(t.name + ": record of " + std::to_string(record) +
                                       " bytes is longer than 4000");
  std::set<std::string> tags;
  for (const auto& g : t.tags) {
    if (!IsName(g.name, 10))
      return xb::Status::InvalidArgument(t.name + ": tag " + g.name +
                                         ": tag names are upper case, 1 to 10 characters");
    if (!tags.insert(g.name).second)
      return xb::Status::InvalidArgument(t.name + ": tag " + g.name + " appears twice");
    auto key = xb::Expression::Compile(g.key, t.fields);
    if (!key.ok()) return key.status().With(t.name + ": tag " + g.name);
    if ((*key)->result_type() == xb::Value::Type::kChar && (*key)->result_length() > 240)
      return xb::Status::InvalidArgument(t.name + ": tag " + g.name + ": key longer than 240");
    if (!g.for_expr.empty()) {
      auto cond = xb::Expression::Compile(g.for_expr, t.fields);
      if (!cond.ok()) return cond.status().With(t.name + ": tag " + g.name + " FOR");
      if ((*cond)->result_type() != xb::Value::Type::kLogical)
        return xb::Status::InvalidArgument(t.name + ": tag " + g.name + ": FOR is not logical");
    }
  }
  return xb::Status::OK();
}

}  // namespace

bool CatalogTable::HasField(const std::string& n) const {
  std::string u = Upper(n);
  for (const auto& f : fields)
    if (f.name == u) return true;
  return false;
}

bool CatalogTable::HasMemo() const {
  for (const auto& f : fields)
    if (f.type == 'M') return true;
  return false;
}

const CatalogTable* Catalog::Find(const std::string& name) const {
  auto it = by_name_.find(Upper(name));
  return it == by_name_.end() ? nullptr : &tables_[it->second];
}

const CatalogTable* Catalog::FindTagOwner(const std::string& tag) const {
  std::string u = Upper(tag);
  for (const auto& t : tables_)
    for (const auto& g : t.tags)
      if (g.name == u) return &t;
  return nullptr;
}

size_t Catalog::TagCount() const {
  size_t n = 0;
  for (const auto& t : tables_) n += t.tags.size();
  return n;
}

xb::Status Catalog::AddFile(const std::string& json_text, const std::string& origin) {
  json doc = json::parse(json_text, nullptr, /*allow_exceptions=*/false);
  if (doc.is_discarded()) return xb::Status::Corrupt(origin + ": not valid JSON");
  if (!doc.is_object()) return xb::Status::Corrupt(origin + ": expected an object");
  std::string group;
  XB_RETURN_IF_ERROR(Member(doc, "group", &group, origin));
  auto tables = doc.find("tables");
  if (tables == doc.end() || !tables->is_array())
    return xb::Status::InvalidArgument(origin + ": \"tables\" must be a list");
  std::vector<CatalogTable> parsed;
  for (const auto& tj : *tables) {
    CatalogTable t;
    XB_RETURN_IF_ERROR(ParseTable(tj, origin, &t));
    t.group = group;
    parsed.push_back(std::move(t));
  }
  // Only a whole file joins the catalog: a bad file leaves it as it was.
  for (auto& t : parsed) {
    std::string key = Upper(t.name);
    if (by_name_.count(key))
      return xb::Status::InvalidArgument(origin + ": table " + t.name + " is defined twice");
  }
  for (auto& t : parsed) {
    by_name_[Upper(t.name)] = tables_.size();
    tables_.push_back(std::move(t));
  }
  return xb::Status::OK();
}

xb::Status Catalog::Validate() const {
  if (tables_.empty()) return xb::Status::InvalidArgument("the catalog has no tables");
  for (const auto& t : tables_) XB_RETURN_IF_ERROR(CheckTable(t));
  return xb::Status::OK();
}

xb::Result<const Catalog*> EmbeddedCatalog() {
  static Catalog* catalog = nullptr;
  static xb::Status status;
  static std::once_flag once;
  std::call_once(once, [] {
    auto* c = new Catalog;
    for (int i = 0; i < catalog_data::kFileCount && status.ok(); ++i)
      status = c->AddFile(catalog_data::kFiles[i].text, catalog_data::kFiles[i].name);
    if (status.ok()) status = c->Validate();
    if (status.ok())
      catalog = c;
    else
      delete c;
  });
  if (!status.ok()) return status.With("table catalog");
  return catalog;
}

}  // namespace qz
