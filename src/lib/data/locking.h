// The record-change pattern: select a table's work area, LOCK_FOR_MODIFY,
// assign fields, UNLOCK_FOR_MODIFY; new rows come locked from ADD_NEW_REC and
// are released with UNLOCK_NEW_REC. These act on the selected work area and
// its current record; the overloads taking a table select it first (and
// leave it selected). They wait patiently (patience.h) and keep the word
// index (txt_srch.h) in step with the record's text.
#pragma once

#include <cstdint>

#include "lib/data/wtable.h"

namespace qz {

void LOCK_FOR_MODIFY(bool skip = false);
void UNLOCK_FOR_MODIFY(bool skip = false);
void UNLOCK_NEW_REC();
void UNLOCK_NEW();
void ADD_NEW_REC(bool fast = false);
void LOCK_WITHOUT_LOG();
void UNLOCK_WITHOUT_LOG();
void ADD_WITHOUT_LOG();

void LOCK_FOR_MODIFY(WDBTable& t, bool skip = false);
void UNLOCK_FOR_MODIFY(WDBTable& t, bool skip = false);
void UNLOCK_NEW_REC(WDBTable& t);
void ADD_NEW_REC(WDBTable& t, bool fast = false);
void LOCK_WITHOUT_LOG(WDBTable& t);
void UNLOCK_WITHOUT_LOG(WDBTable& t);
void ADD_WITHOUT_LOG(WDBTable& t);

// Deleting a record: lock, mark deleted, release (its words leave the index).
void DELETE_RECORD(WDBTable& t);

// Writes all buffers of all work areas to disk.
void XDBCOMMIT();

// How many appends and record releases this process has made: an operation
// that failed after it rose has written something (see RunOperation).
uint64_t DataLayerWrites();

}  // namespace qz
