// Creating catalog tables on disk: the DBF (and FPT for memos) with every tag
// of its structural CDX.
#pragma once

#include <memory>
#include <string>

#include "lib/install/catalog.h"
#include "xbase/env.h"
#include "xbase/table.h"

namespace qz {

struct MakeOptions {
  xb::Env* env = nullptr;  // null = the process environment
  bool overwrite = false;  // replace a table that is already there
  bool with_tags = true;   // false: the caller loads rows first and calls AddTags
};

// Creates `dir`/NAME.DBF for `table` and returns it open exclusively, so the
// caller can load rows before other users see it. A table without tags gets
// no CDX, as the program reads those tables in record order.
xb::Result<std::unique_ptr<xb::Table>> MakeTable(const CatalogTable& table, const std::string& dir,
                                                 const MakeOptions& options = {});

// Builds every catalog tag of `table` on the open, exclusive `t`.
xb::Status AddTags(const CatalogTable& table, xb::Table& t);

// Creates the table, builds its tags and closes it.
xb::Status CreateTable(const CatalogTable& table, const std::string& dir,
                       const MakeOptions& options = {});

// Compares an existing table's structure and tags with the catalog; every
// difference is appended to `problems` (nothing appended = it matches).
void CompareWithCatalog(const CatalogTable& table, xb::Table& t,
                        std::vector<std::string>* problems);

}  // namespace qz
