#include "accounting/all_or_nothing.h"

#include "lib/data/transaction.h"

namespace qz {

bool SaveAllOrNothing(xb::Table& catalog, uint32_t loaded, const std::function<bool()>& save) {
  if (InServerTransaction()) return save();
  try {
    return Atomically(save);
  } catch (...) {
    if (loaded != 0) catalog.UnlockRecord(loaded);
    throw;
  }
}

}  // namespace qz
