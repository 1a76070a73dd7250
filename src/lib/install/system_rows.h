// The rows every installation starts with: the installation parameters
// (F_SYS), the fonts offered for grids (FONTS) and the registry of tables
// whose texts feed the word index (F_TXT_S).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "xbase/env.h"
#include "xbase/status.h"

namespace qz {

// {table, document field} pairs registered in F_TXT_S: the employees and the
// catalogs people look things up in. Each document field is the table's code.
const std::vector<std::pair<std::string, std::string>>& SearchableTables();

// Writes the rows into the tables of `bases_dir`, which must exist and be empty.
xb::Status WriteSystemRows(const std::string& bases_dir, xb::Env* env = nullptr);

}  // namespace qz
