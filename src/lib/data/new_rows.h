// Rows added whole: for copies and other bulk work whose values are known
// before the row exists. One step instead of ADD_NEW_REC, the assignments
// and UNLOCK_NEW_REC: the row reaches the file once, with its keys, and is
// journaled once inside a transaction (undone like any appended row).
#pragma once

#include "lib/data/wtable.h"
#include "xbase/new_record.h"

namespace qz {

// Appends `values` (built for t's table) to `t` with ADD_NEW_REC's patience,
// then releases the row as UNLOCK_NEW_REC does (inside a server transaction
// the lock stays until the transaction ends). The row stays current.
void ADD_NEW_REC_WITH(WDBTable& t, const xb::NewRecord& values);

}  // namespace qz
