// Drop-downs filled from a catalog table of the business: each entry shows
// the row's description and carries its code (trimmed). The table is opened
// for the filling and closed again.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lib/ui/wdiag.h"
#include "xbase/table.h"

namespace qz {

struct LookupSource {
  LookupSource(std::string table, std::string tag, std::string prefix, std::string code = "CODIGO",
               std::string text = "DESCRIP", std::function<bool(const xb::Table&)> keep = nullptr)
      : table(std::move(table)),
        tag(std::move(tag)),
        prefix(std::move(prefix)),
        code(std::move(code)),
        text(std::move(text)),
        keep(std::move(keep)) {}
  std::string table;
  std::string tag;       // its key begins with `prefix`
  std::string prefix;    // table bytes: the business (and more), "" = whole table
  std::string code;
  std::string text;
  // Rows to leave out (null = every row).
  std::function<bool(const xb::Table&)> keep;
};

// Adds one entry per row of `source` to combo or list `id` of `w`.
void FillLookup(WDIAG& w, int id, const LookupSource& source);
// Adds fixed entries {text, cargo}.
void FillFixed(WDIAG& w, int id, const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace qz
