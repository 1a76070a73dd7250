// Server transactions. With the server engine a caller brackets a
// multi-table update with START_TRANSACTION() ... END_TRANSACTION(); every
// record write and append in between is journaled first (journal.h), locks
// of changed records are held until the end, and ROLLBACK_TRANSACTION (run by
// the error handler when an operation aborts) puts every record and tag back
// and writes a LOG_ROLL row. Without the server engine, or when ADS.DEF does
// not ask for transactions, the bracket does nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>

#include "xbase/table.h"

namespace qz {

void START_TRANSACTION(int mode = 2, std::optional<int> id = std::nullopt);
// A transaction whatever the engine and ADS.DEF say: for the processes whose
// half-done result would be worse than an error (opening a payroll period,
// renaming or deleting a department), journaled and rolled back exactly like
// a server transaction. END_TRANSACTION / ROLLBACK_TRANSACTION close it. Does
// nothing when a transaction is already open (its bracket takes the work).
void START_ATOMIC_TRANSACTION(int mode = 2);
void END_TRANSACTION();
void ROLLBACK_TRANSACTION();

// Whether a transaction (server or atomic) is open.
bool InServerTransaction();

// Runs `body` as one atomic transaction and returns what it returns: ended
// when it returns, rolled back when it throws (the fault goes on to the
// caller). Inside a transaction that is already open the body joins it and
// the outer bracket decides.
template <typename F>
auto Atomically(F body) -> decltype(body()) {
  const bool own = !InServerTransaction();
  if (own) START_ATOMIC_TRANSACTION();
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      if (own) END_TRANSACTION();
    } else {
      auto r = body();
      if (own) END_TRANSACTION();
      return r;
    }
  } catch (...) {
    if (own) ROLLBACK_TRANSACTION();
    throw;
  }
}

// Hooks for the table layer.
// A table opened while a transaction is open is journaled from then on.
void AttachJournal(xb::Table& t);
// A table leaving its work area during a transaction: when it holds changes
// of the transaction, the transaction takes it (closing it at the end, so
// its locks stay); returns whether it did.
bool KeepUntilTransactionEnds(std::unique_ptr<xb::Table>& t);
// Whether record `recno` of `t` was changed or appended by the open transaction.
bool ChangedInTransaction(const xb::Table& t, uint32_t recno);

}  // namespace qz
