// The lines of a distribution table (D_COSTO) and what a change of them does
// to the employees that use the table (ENC_PERS DIST_COST): a centre taken
// out of the table leaves their column splits (DET_PER3), a centre put in
// joins the split of each of their columns with its own split (DET_PERS
// CENTRO_IND = 1).
#pragma once

#include <string>
#include <vector>

namespace qz {

struct DistLine {
  std::string centre;  // COD_CENTRO, table bytes padded to 15
  double percent = 0;
};

// The lines of table `code` (table bytes, padded to 4) of the business, in
// key order.
std::vector<DistLine> ReadDistLines(const std::string& business, const std::string& code);

struct DistLineChanges {
  int removed = 0, added = 0, changed = 0;  // D_COSTO rows
  int splits_removed = 0, splits_added = 0;  // DET_PER3 rows
};

// Makes the stored lines of the table that had code `old_code` the lines of
// table `code` (the same code, or its new one) equal to `lines`: rows of a
// centre no longer listed are deleted, kept centres get the new code and
// percentage, new centres are appended; then the employees using the table
// follow the removed and added centres. Each row is locked as the data layer
// locks, through one handle per table: inside the caller's transaction a
// second handle would find the first one's rows still locked.
DistLineChanges SaveDistLines(const std::string& business, const std::string& old_code,
                              const std::string& code, const std::vector<DistLine>& lines);

}  // namespace qz
