#include "lib/payroll/history_fields.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "xbase/new_record.h"
#include "xbase/table.h"

namespace qz {
namespace {

std::vector<std::string> Words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> v;
  for (std::string w; in >> w;) v.push_back(w);
  return v;
}

}  // namespace

const std::vector<std::string>* HistoryFieldList(const std::string& history) {
  // The column values start from the employee's row only in their keys and
  // cost-centre mark; the amounts are set by the opening (VALOR_1, FACTOR,
  // TOTAL, VACACION) or written later by the recalculations.
  static const std::map<std::string, std::vector<std::string>> kLists = {
      {"H_D_PERS", Words("NEGOCIO COD_COLUMN CENTRO_IND CODIGO")}};
  auto it = kLists.find(history);
  return it == kLists.end() ? nullptr : &it->second;
}

HistoryRowCopy::HistoryRowCopy(const xb::Table& from, const xb::Table& to,
                               const std::vector<std::string>& set_by_caller) {
  const std::vector<std::string>* only = HistoryFieldList(to.name());
  const auto& fields = to.fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const std::string& name = fields[i].name;
    if (std::find(set_by_caller.begin(), set_by_caller.end(), name) != set_by_caller.end())
      continue;
    if (only && std::find(only->begin(), only->end(), name) == only->end()) continue;
    int src = from.FieldIndex(name);
    if (src >= 0) pairs_.push_back({src, static_cast<int>(i)});
  }
}

namespace {

template <typename Target>
xb::Status CopyPairs(const std::vector<std::pair<int, int>>& pairs, const xb::Table& from,
                     Target& to) {
  for (const auto& [src, dst] : pairs) {
    auto v = from.Get(src);
    if (!v.ok()) return v.status();
    XB_RETURN_IF_ERROR(to.Put(dst, *v));
  }
  return xb::Status::OK();
}

}  // namespace

xb::Status HistoryRowCopy::Apply(const xb::Table& from, xb::Table& to) const {
  return CopyPairs(pairs_, from, to);
}

xb::Status HistoryRowCopy::Apply(const xb::Table& from, xb::NewRecord& to) const {
  return CopyPairs(pairs_, from, to);
}

}  // namespace qz
