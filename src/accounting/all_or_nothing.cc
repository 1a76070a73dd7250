#include "accounting/all_or_nothing.h"

#include "lib/data/transaction.h"

namespace qz {

bool SaveAllOrNothing(xb::Table& catalog, uint32_t loaded, const std::function<bool()>& save) {
  if (InServerTransaction()) return save();
  START_ATOMIC_TRANSACTION();
  try {
    bool saved = save();
    END_TRANSACTION();
    return saved;
  } catch (...) {
    // The error handler has usually rolled back already; then this does
    // nothing.
    ROLLBACK_TRANSACTION();
    if (loaded != 0) catalog.UnlockRecord(loaded);
    throw;
  }
}

}  // namespace qz
