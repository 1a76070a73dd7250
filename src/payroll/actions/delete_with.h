// Deleting a catalog row together with what hangs on it (its detail rows,
// its place in other rows' lists): the catalog's own delete (question,
// lock, soft delete) and then `also`, inside one transaction that every
// engine keeps, so the row is never gone while the rest stays.
#pragma once

#include <functional>
#include <string>

#include "lib/ui/catalog.h"

namespace qz {

// `also` gets the deleted row's code (table bytes) and runs only when the
// user confirmed and the row was deleted.
void DeleteSelectedWith(CatalogScreen& screen, const std::function<void(const std::string&)>& also);

}  // namespace qz
