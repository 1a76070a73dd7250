// Test tables with the catalog's layouts: CreateCatalogTable builds an empty
// table (fields and tags of schema/*.json) in a scratch folder, and AddRow
// appends a record from field/value pairs.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "xbase/table.h"
#include "xbase/value.h"

namespace qztest {

std::unique_ptr<xb::Table> CreateCatalogTable(const std::string& dir, const std::string& name);

using Row = std::initializer_list<std::pair<const char*, xb::Value>>;
void AddRow(xb::Table& t, Row fields);

inline xb::Value C(const std::string& s) {
  return xb::Value::Char(s);
}
inline xb::Value N(double d) {
  return xb::Value::Number(d);
}
inline xb::Value D(int y, int m, int d) {
  return xb::Value::Date(xb::JulianFromYmd(y, m, d));
}

}  // namespace qztest
