// A row that must exist once per key, such as a business's parameters row,
// added by whichever workstation first needs it. Looking for it and then
// appending is two steps: two workstations that both miss it at the same
// moment would each append one. So a missing row is looked for again and
// appended under the table lock (FLOCK), which the other workstation doing
// the same must wait for; the second finds the first's row.
#pragma once

#include <functional>

#include "lib/data/wtable.h"
#include "xbase/value.h"

namespace qz {

// Positions `t` on the row `key` finds on its controlling tag, appending it
// first when it is missing: `fill` sets the new row's fields (it is locked
// then), and the row is released. Returns whether it was added. `fill`
// must give the row `key`, or `t` ends at the end of file.
//
// Outside a transaction every lock of `t` is let go before returning (the
// caller must not hold record locks of `t` it wants to keep). Inside one the
// table lock of an added row lasts until the transaction ends, like the
// row's own lock, so nobody reads an uncommitted row as settled.
bool AddRowOnce(WDBTable& t, const xb::Value& key, const std::function<void(WDBTable&)>& fill);

}  // namespace qz
