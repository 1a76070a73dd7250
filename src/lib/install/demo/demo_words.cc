// The word index of the demo's registered tables (F_TXT_S): the words the
// program would have added, had every row been typed through its screens.
#include <algorithm>
#include <set>

#include "lib/data/txt_srch.h"
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

class WordIndex {
 public:
  explicit WordIndex(Context& c) : c_(c) {}

  // Follows the index's rules: text fields of at least 10 characters except
  // workstation stamps, words as the data layer cuts them (upper case, split
  // at blanks, longer than 2), and a word not added when a stored word of the
  // document begins with it.
  xb::Status AddRecord(xb::Table& t, const std::string& table, const std::string& document_field) {
    std::string business, document;
    for (const auto& f : t.fields()) {
      auto v = t.Get(f.name);
      if (!v.ok()) return v.status();
      if (f.name == "NEGOCIO") business = v->str();
      if (f.name == document_field) document = v->is_char() ? v->str() : "";
    }
    document.resize(15, ' ');
    std::string tabla = table;
    tabla.resize(10, ' ');
    for (const auto& f : t.fields()) {
      if (f.type != 'C' || f.len < 10 || f.name.rfind("INFO_U", 0) == 0) continue;
      auto v = t.Get(f.name);
      if (!v.ok()) return v.status();
      for (const std::string& word : IndexWords(v->str()))
        XB_RETURN_IF_ERROR(AddWord(business, tabla, document, word));
    }
    return xb::Status::OK();
  }

 private:
  xb::Status AddWord(const std::string& business, const std::string& tabla,
                     const std::string& document, const std::string& word) {
    auto& stored = words_[business + tabla + document];
    for (const auto& s : stored)
      if (s.compare(0, word.size(), word) == 0) return xb::Status::OK();
    stored.push_back(word);
    return c_.Add("TXT_SRCH", [&](Row& r) {
      r.SetRaw("NEGOCIO", xb::Value::Char(business)).SetRaw("TABLA", xb::Value::Char(tabla));
      r.SetRaw("DOCUMENTO", xb::Value::Char(document)).Set("ID", 0);
      r.SetRaw("T_ITEM", xb::Value::Char(word));
    });
  }

  Context& c_;
  std::map<std::string, std::vector<std::string>> words_;
};

}  // namespace

xb::Status AddWordIndex(Context& c) {
  auto registry = c.Open("F_TXT_S");
  if (!registry.ok()) return registry.status();
  std::vector<std::pair<std::string, std::string>> tables;
  for (xb::Status s = (*registry)->GoTop(); !(*registry)->Eof(); s = (*registry)->Skip(1)) {
    XB_RETURN_IF_ERROR(s);
    auto table = (*registry)->Get("TABLA");
    auto field = (*registry)->Get("DOCUMENTO");
    if (!table.ok() || !field.ok()) return table.ok() ? field.status() : table.status();
    tables.push_back({Trim(table->str()), Trim(field->str())});
  }
  WordIndex index(c);
  for (const auto& [name, field] : tables) {
    auto t = c.Open(name);
    if (!t.ok()) return t.status();
    XB_RETURN_IF_ERROR((*t)->SetOrder(""));
    for (xb::Status s = (*t)->GoTop(); !(*t)->Eof(); s = (*t)->Skip(1)) {
      XB_RETURN_IF_ERROR(s);
      XB_RETURN_IF_ERROR(index.AddRecord(**t, name, field));
    }
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
