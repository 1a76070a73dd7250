#include "lib/payroll/consolidation_tables.h"

#include "lib/errors/fault.h"

namespace qz::consolidation {
namespace {

// Each table with the tag its walks use first.
const char* const kTables[][2] = {
    {"ENC_DEPT", "ENC_DEPT"}, {"DET_DEPT", "DET_DEPT"},   {"ENC_TIP", "ENC_TIP"},
    {"DET_TIP", "DET_TIP"},   {"DET_DEP2", "DET_DEP2"},   {"DET_DEP3", "DET_DEP3A"},
    {"TIP_PLA", "TIP_PLA"},   {"CONJ_COL", "CONJ_COL"},   {"ENC_PERS", "ENC_PERS"},
    {"DET_PERS", "DET_PERS"}, {"DET_PER2", "DET_PER2"},   {"DET_PER3", "DET_PER_A"},
    {"TIEMPO_E", "TIEMPO_E"}, {"TIP_TRAN", "TIP_TRAN"},   {"E_COSTO", "E_COSTO"},
    {"D_COSTO", "D_COSTO1"},  {"GRP_CMP", "GRP_CMP"},     {"H_E_DEPT", "H_E_DEPT2"},
    {"H_D_DEPT", ""},         {"H_E_TIP", ""},            {"H_D_TIP", ""},
    {"H_D_DEP2", ""},         {"H_D_DEP3", ""},           {"H_TIP_PL", ""},
    {"H_CONJ_C", ""},         {"H_E_PERS", ""},           {"H_D_PERS", ""},
    {"H_D_PER2", ""},         {"H_D_PER3", ""},           {"H_TIEM_E", ""},
    {"H_TIP_TR", ""},         {"H_E_COST", "H_E_COST"},   {"H_D_COST", ""},
    {"H_GRP_C", "H_GRP"}};

}  // namespace

OpeningTables::OpeningTables() {
  for (const auto& t : kTables) tables_[t[0]] = USE(nullptr, t[0], t[1]);
}

OpeningTables::~OpeningTables() {
  Close();
}

WDBTable& OpeningTables::operator[](const std::string& name) {
  return *tables_.at(name);
}

void OpeningTables::Close() {
  for (auto& [name, t] : tables_)
    if (t) KILLTABLA(t);
  tables_.clear();
}

std::vector<uint32_t> RowsOf(WDBTable& t, const std::string& tag, const std::string& prefix) {
  std::vector<uint32_t> rows;
  xb::Table& x = t.table();
  const xb::Value key = xb::Value::Char(prefix);
  Must(x.SetOrder(tag), t, "SET ORDER");
  Must(x.SetScope(key, key), t, "SET SCOPE");
  for (xb::Status s = x.GoTop(); !x.Eof(); s = x.Skip(1)) {
    Must(s, t, "SKIP");
    rows.push_back(x.RecNo());
  }
  Must(x.ClearScope(), t, "SET SCOPE");
  return rows;
}

std::string Raw(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

std::string Padded(const xb::Table& t, const char* field, const std::string& value) {
  int i = t.FieldIndex(field);
  size_t width = i < 0 ? value.size() : t.fields()[i].len;
  std::string s = value.substr(0, width);
  s.append(width - s.size(), ' ');
  return s;
}

std::string Trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

void Must(const xb::Status& s, WDBTable& t, const char* operation) {
  if (!s.ok()) ThrowFault(kGenWrite, s.message(), t.table().path(), operation);
}

}  // namespace qz::consolidation
