// Saving a catalog row together with every row its change rewrites (a
// centre's code in the splits, a table's code in the employees, the lines of
// a table) as one transaction, whatever the engine: a failure midway (a row
// another workstation keeps locked, a write that fails) rolls all of it back,
// so no split is left half re-coded.
#pragma once

#include <cstdint>
#include <functional>

#include "xbase/table.h"

namespace qz {

// Runs `save` (true = saved) inside an atomic transaction and ends it; a
// fault thrown inside rolls the transaction back, releases the lock of
// record `loaded` of `catalog` (the row a modification holds; 0 = none) and
// goes on to the error handler. Inside a transaction the caller opened,
// `save` simply joins it.
bool SaveAllOrNothing(xb::Table& catalog, uint32_t loaded, const std::function<bool()>& save);

}  // namespace qz
