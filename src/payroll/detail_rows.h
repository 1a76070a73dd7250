// The detail rows of a header row (days of a vacation type, sub-classes of
// a document class): deleted with their header, so a later header given the
// same code does not inherit them.
#pragma once

#include <string>

#include "lib/data/use.h"

namespace qz {

// Deletes every row of `t` whose key in `tag` begins with `prefix`
// (business + header code), each locked and released in turn; returns how
// many. The table is left without a scope.
int DeleteDetailRows(WDBTable& t, const std::string& tag, const std::string& prefix);

}  // namespace qz
