// All or nothing: a cash operation's writes (a box's header and shift, a
// count with its adjustment lines) go in one transaction whatever the
// engine, so a failure midway leaves nothing half-written. Inside an open
// transaction the body joins it and the outer bracket decides.
#pragma once

#include "lib/data/transaction.h"

namespace qz {

template <typename F>
auto Atomically(F body) -> decltype(body()) {
  const bool own = !InServerTransaction();
  if (own) START_ATOMIC_TRANSACTION();
  try {
    auto r = body();
    if (own) END_TRANSACTION();
    return r;
  } catch (...) {
    if (own) ROLLBACK_TRANSACTION();
    throw;
  }
}

}  // namespace qz
