// The rights rows of a user (MENUS) or of a profile (DET_PERF): one row per
// menu id 2000-7000 with its CHECK_ID, keyed by business + code (8) + id (8).
// Reading and writing go through one walk of the owner's rows, so a design
// of 5,001 ids costs one pass over them and a write only where a value
// differs; ids without a row are appended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/data/wtable.h"

namespace qz {

// The rights of one owner as values: entry i is id 2000 + i.
using RightsDesign = std::vector<bool>;
RightsDesign EmptyDesign();

// What the owner's rows hold: found[i] tells whether id 2000 + i has a row,
// checks[i] its CHECK_ID (the first row when an id has several).
struct StoredRights {
  RightsDesign checks;
  std::vector<bool> found;
};

// `t` is MENUS or DET_PERF ordered by its tag; `business` 15 bytes.
StoredRights ReadRightsRows(WDBTable& t, const std::string& business, int code);

// Makes every row of ids 2000-7000 hold `design`: rows that differ are
// changed under their record lock, missing ids are appended. Every row of
// an id is changed when there are several (the login reads the last, the
// toolbar the first). Returns the number of rows written.
int WriteRightsRows(WDBTable& t, const std::string& business, int code,
                    const RightsDesign& design);

// Deletes every row of the owner (each under its lock); returns how many.
int DeleteRowsOf(WDBTable& t, const std::string& business, int code, const char* code_field);

// The smallest positive CODIGO no row of `t` has (any business).
int SmallestFreeCode(WDBTable& t);

}  // namespace qz
