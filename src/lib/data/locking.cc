#include "lib/data/locking.h"

#include <map>

#include "lib/clock.h"
#include "lib/data/journal.h"
#include "lib/data/new_rows.h"
#include "lib/data/patience.h"
#include "lib/data/transaction.h"
#include "lib/data/txt_srch.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

uint64_t g_writes = 0;

// The words each area's locked record had when LOCK_FOR_MODIFY took it.
std::map<int, RecordWords>& WordsAtLock() {
  static std::map<int, RecordWords> m;
  return m;
}

struct Selected {
  int area;
  WorkArea* wa;
  xb::Table& table() { return *wa->table; }
};

Selected CurrentArea(const char* operation) {
  int area = Areas().Selected();
  WorkArea* wa = Areas().Get(area);
  if (!wa || !wa->table)
    ThrowFault(kGenLock, "No hay tabla abierta en el área " + std::to_string(area), "", operation);
  return {area, wa};
}

Patience LockPatience(Selected& s, uint32_t recno, RetryCounter counter, int gen,
                      const char* operation) {
  return LockPatience(s.table().path(), s.wa->alias, recno, counter, gen, operation);
}

void LockRecord(Selected& s, uint32_t recno) {
  RetryPatiently(
      [&] {
        // Checked after the lock: the transaction that held the record may
        // have died between any earlier check and the lock. Once it is rolled
        // back (or given up), the lock is taken again, re-reading the record.
        const bool held = s.table().IsRecordLocked(recno);
        xb::Status st = s.table().LockRecord(recno);
        if (!st.ok() || held || !DeadTransactionWaiting()) return st;
        s.table().UnlockRecord(recno);
        MeetDeadTransactions();
        return s.table().LockRecord(recno);
      },
      LockPatience(s, recno, RetryCounter::kLocks, kGenLock, "RLOCK"));
}

// Releases a record, or, inside a server transaction, keeps the lock of a
// changed record as the server does until the transaction ends.
void Release(Selected& s, uint32_t recno, bool remember) {
  Globals& g = G();
  if (InServerTransaction()) {
    if (remember) {
      if (g.XTRANS_TIPO == 1) {
        g.XA_RECORDS.push_back({s.area, recno});
      } else {
        bool known = false;
        for (const auto& r : g.XA_RECORDS) known |= r.area == s.area;
        if (!known) g.XA_RECORDS.push_back({s.area, 0});
      }
    }
    Patience p = LockPatience(s, recno, RetryCounter::kUnlocks, kGenWrite, "UNLOCK");
    RetryPatiently([&] { return s.table().WriteBack(); }, p);
    if (!ChangedInTransaction(s.table(), recno)) s.table().UnlockRecord(recno);
    ++g_writes;
    return;
  }
  Areas().Select(s.area);
  Patience p = LockPatience(s, recno, RetryCounter::kUnlocks, kGenWrite, "UNLOCK");
  RetryPatiently(
      [&]() -> xb::Status {
        xb::Status st = s.table().UnlockRecord(recno);
        if (!st.ok() && s.table().RecNo() != recno) s.table().GoTo(recno);
        return st;
      },
      p);
  ++g_writes;
}

// Appends a blank row, or `values` when given, and leaves it locked.
void Append(Selected& s, bool fast, const xb::NewRecord* values = nullptr) {
  Patience p = LockPatience(s, s.table().RecNo(), RetryCounter::kLocks, kGenAppendLock, "APPEND");
  auto add = [&] { return values ? xb::AppendRecord(s.table(), *values) : s.table().Append(); };
  if (fast) {
    // No pause between attempts; a failure that is not a conflict still
    // reaches the handler.
    MeetDeadTransactions();
    for (;;) {
      xb::Status st = add();
      if (st.ok()) break;
      if (!st.IsBusy()) {
        RetryPatiently(add, p);
        break;
      }
      ++G().XRETRIES[1];
    }
  } else {
    RetryPatiently(
        [&] {
          MeetDeadTransactions();
          return add();
        },
        p);
  }
  ++g_writes;
}

}  // namespace

void LOCK_FOR_MODIFY(bool skip) {
  if (skip) return;
  Selected s = CurrentArea("LOCK_FOR_MODIFY");
  uint32_t recno = s.table().RecNo();
  // The words are taken from the record as it is under our lock, so that a
  // change another workstation made just before is not left in the index.
  LockRecord(s, recno);
  WordsAtLock()[s.area] = WordsOf(s.area);
}

void UNLOCK_FOR_MODIFY(bool skip) {
  if (skip) return;
  Selected s = CurrentArea("UNLOCK_FOR_MODIFY");
  uint32_t recno = s.table().RecNo();
  // The record first: its old words leave the index only once its new text
  // is written, so a failed edit keeps the words the record still has.
  Release(s, recno, true);
  auto& taken = WordsAtLock();
  auto it = taken.find(s.area);
  RecordWords before;
  if (it != taken.end()) {
    before = std::move(it->second);
    taken.erase(it);
  }
  ReplaceWords(&before, s.area);
}

void UNLOCK_NEW_REC() {
  UNLOCK_FOR_MODIFY(false);
}
void UNLOCK_NEW() {
  UNLOCK_FOR_MODIFY(false);
}

void ADD_NEW_REC(bool fast) {
  Selected s = CurrentArea("ADD_NEW_REC");
  WordsAtLock().erase(s.area);  // a new record had no words
  Append(s, fast);
}

void LOCK_WITHOUT_LOG() {
  Selected s = CurrentArea("LOCK_WITHOUT_LOG");
  if (s.table().Eof()) return;
  // The patience of any other lock: an endless silent wait would freeze the
  // workstation behind a user who went to lunch with the row locked.
  LockRecord(s, s.table().RecNo());
}

void UNLOCK_WITHOUT_LOG() {
  Selected s = CurrentArea("UNLOCK_WITHOUT_LOG");
  Release(s, s.table().RecNo(), true);
}

void ADD_WITHOUT_LOG() {
  Selected s = CurrentArea("ADD_WITHOUT_LOG");
  Append(s, false);
}

void LOCK_FOR_MODIFY(WDBTable& t, bool skip) {
  t.Select();
  LOCK_FOR_MODIFY(skip);
}
void UNLOCK_FOR_MODIFY(WDBTable& t, bool skip) {
  t.Select();
  UNLOCK_FOR_MODIFY(skip);
}
void UNLOCK_NEW_REC(WDBTable& t) {
  UNLOCK_FOR_MODIFY(t, false);
}
void ADD_NEW_REC(WDBTable& t, bool fast) {
  t.Select();
  ADD_NEW_REC(fast);
}
void LOCK_WITHOUT_LOG(WDBTable& t) {
  t.Select();
  LOCK_WITHOUT_LOG();
}
void UNLOCK_WITHOUT_LOG(WDBTable& t) {
  t.Select();
  UNLOCK_WITHOUT_LOG();
}
void ADD_NEW_REC_WITH(WDBTable& t, const xb::NewRecord& values) {
  t.Select();
  Selected s = CurrentArea("ADD_NEW_REC");
  WordsAtLock().erase(s.area);  // a new record had no words
  Append(s, false, &values);
  UNLOCK_NEW_REC();
}

void ADD_WITHOUT_LOG(WDBTable& t) {
  t.Select();
  ADD_WITHOUT_LOG();
}

void DELETE_RECORD(WDBTable& t) {
  LOCK_FOR_MODIFY(t);
  t.Delete();
  UNLOCK_FOR_MODIFY(t);
}

void XDBCOMMIT() {
  Globals& g = G();
  if (g.XCOMMITALL == 1) return;
  g.XCOMMITALL = 1;
  xb::Status failed;
  for (const auto& [n, wa] : Areas().All()) {
    if (!wa.table || wa.table->read_only()) continue;
    xb::Status s = wa.table->Flush();
    if (!s.ok() && failed.ok()) failed = s;
  }
  g.XCOMMITALL = 0;
  if (!failed.ok()) ThrowFault(kGenWrite, failed.message(), "", "COMMIT");
}

uint64_t DataLayerWrites() {
  return g_writes;
}

}  // namespace qz
