// Reading a table back as text, the way the cash tests compare what a
// posting wrote: every live row as field -> trimmed text, numbers with two
// decimals, dates as their day number.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "xbase/table.h"

namespace qztest {

using TextRow = std::map<std::string, std::string>;

inline std::vector<TextRow> TextRows(const std::string& dbf) {
  std::vector<TextRow> out;
  auto t = xb::Table::Open(dbf);
  EXPECT_TRUE(t.ok()) << dbf;
  if (!t.ok()) return out;
  auto count = (*t)->RecCount();
  for (uint32_t r = 1; count.ok() && r <= *count; ++r) {
    EXPECT_TRUE((*t)->GoTo(r).ok());
    if ((*t)->Deleted()) continue;
    TextRow row;
    for (const auto& f : (*t)->fields()) {
      auto v = (*t)->Get(f.name);
      if (!v.ok()) continue;
      if (v->is_char()) {
        std::string s = v->str();
        while (!s.empty() && s.back() == ' ') s.pop_back();
        row[f.name] = s;
      } else if (v->is_numeric()) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.2f", v->number());
        row[f.name] = buf;
      } else {
        row[f.name] = std::to_string(v->date());
      }
    }
    out.push_back(row);
  }
  (void)(*t)->Close();
  return out;
}

// Debit minus credit of `account` over journal lines (DET_ASIE rows).
inline double JournalNetOf(const std::vector<TextRow>& lines, const std::string& account) {
  double net = 0;
  for (const auto& r : lines)
    if (r.at("CUENTA") == account) net += std::stod(r.at("DEBITO")) - std::stod(r.at("CREDITO"));
  return net;
}

// Every journal entry of the lines balances.
inline void ExpectBalanced(const std::vector<TextRow>& lines) {
  std::map<std::string, double> by_entry;
  for (const auto& r : lines)
    by_entry[r.at("MODULO") + r.at("NUMERO")] +=
        std::stod(r.at("DEBITO")) - std::stod(r.at("CREDITO"));
  for (const auto& [entry, net] : by_entry) EXPECT_NEAR(net, 0, 0.001) << entry;
}

}  // namespace qztest
