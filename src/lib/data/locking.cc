#include "lib/data/locking.h"

#include "lib/clock.h"
#include "lib/data/patience.h"
#include "lib/data/transaction.h"
#include "lib/data/txt_srch.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

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

std::string RecordNumber10(uint32_t recno) {
  return PadLeft(std::to_string(recno), 10);
}

// The report after 5 seconds: with the server engine it names the record.
Patience LockPatience(Selected& s, uint32_t recno, RetryCounter counter, int gen,
                      const char* operation) {
  Patience p;
  p.counter = counter;
  p.gen_code = gen;
  p.filename = s.table().path();
  p.operation = operation;
  p.message = "El dato se encuentra bloqueado: " + s.wa->alias;
  if (IsServerEngine()) {
    p.message += "/" + RecordNumber10(recno);
    p.sets_server_lock_text = true;
  }
  return p;
}

void LockRecord(Selected& s, uint32_t recno) {
  RetryPatiently([&] { return s.table().LockRecord(recno); },
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
    xb::Status w = s.table().WriteBack();
    if (!w.ok()) ThrowFault(kGenWrite, w.message(), s.table().path(), "UNLOCK");
    if (!ChangedInTransaction(s.table(), recno)) s.table().UnlockRecord(recno);
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
}

void Append(Selected& s, bool fast) {
  if (fast) {
    for (;;) {
      xb::Status st = s.table().Append();
      if (st.ok()) return;
      if (!st.IsBusy()) ThrowFault(kGenAppendLock, st.message(), s.table().path(), "APPEND");
      ++G().XRETRIES[1];
    }
  }
  RetryPatiently(
      [&] { return s.table().Append(); },
      LockPatience(s, s.table().RecNo(), RetryCounter::kLocks, kGenAppendLock, "APPEND"));
}

}  // namespace

void LOCK_FOR_MODIFY(bool skip) {
  if (skip) return;
  Selected s = CurrentArea("LOCK_FOR_MODIFY");
  uint32_t recno = s.table().RecNo();
  // The words are taken from the record as it is under our lock, so that a
  // change another workstation made just before is not left in the index.
  LockRecord(s, recno);
  MaintainWordIndex(s.area, WordIndexMode::kRemove);
}

void UNLOCK_FOR_MODIFY(bool skip) {
  if (skip) return;
  Selected s = CurrentArea("UNLOCK_FOR_MODIFY");
  uint32_t recno = s.table().RecNo();
  MaintainWordIndex(s.area, WordIndexMode::kAdd);
  Release(s, recno, true);
}

void UNLOCK_NEW_REC() {
  UNLOCK_FOR_MODIFY(false);
}
void UNLOCK_NEW() {
  UNLOCK_FOR_MODIFY(false);
}

void ADD_NEW_REC(bool fast) {
  Selected s = CurrentArea("ADD_NEW_REC");
  Append(s, fast);
}

void LOCK_WITHOUT_LOG() {
  Selected s = CurrentArea("LOCK_WITHOUT_LOG");
  if (s.table().Eof()) return;
  uint32_t recno = s.table().RecNo();
  for (;;) {
    xb::Status st = s.table().LockRecord(recno);
    if (st.ok()) return;
    if (!st.IsBusy()) ThrowFault(kGenLock, st.message(), s.table().path(), "RLOCK");
    CurrentClock().SleepMs(1);  // no pause the user sees; just not a busy spin
  }
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

}  // namespace qz
