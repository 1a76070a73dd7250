// The live rows of a table as short lines a test can compare: each row is
// "BUSINESS:field1/field2..." with texts trimmed, numbers without trailing
// zeros and dates as YYYYMMDD, and the lines are sorted, so the expectation
// does not depend on the order the rows were written in.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "lib/ui/catalog_data.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qztest {

inline std::vector<std::string> SortedRows(const std::string& path,
                                           const std::vector<std::string>& fields) {
  auto t = xb::Table::Open(path);
  if (!t.ok()) return {"<cannot open " + path + ">"};
  std::vector<std::string> out;
  for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip(1)) {
    std::string row = qz::FieldText(**t, "NEGOCIO") + ":";
    for (size_t i = 0; i < fields.size(); ++i) {
      auto v = (*t)->Get(fields[i]);
      std::string text;
      if (v.ok() && v->is_numeric()) {
        text = std::to_string(v->number());
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
      } else if (v.ok() && v->type() == xb::Value::Type::kDate) {
        text = xb::DtosFromJulian(v->date());
      } else {
        text = qz::FieldText(**t, fields[i]);
      }
      row += (i ? "/" : "") + text;
    }
    out.push_back(row);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace qztest
