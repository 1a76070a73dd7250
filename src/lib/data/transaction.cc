#include "lib/data/transaction.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lib/data/date_time.h"
#include "lib/data/journal.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

struct Change {
  xb::Table* table;
  char kind;  // 'B' before-image, 'A' append
  uint32_t recno;
  std::string before;
};

class TransactionJournal final : public xb::TableObserver {
 public:
  xb::Status BeforeWrite(xb::Table& t, uint32_t recno, const std::string& before) override {
    if (!seen_.insert({t.path(), recno}).second) return xb::Status::OK();
    // Kept in memory before the disk is asked, so that a rollback can undo
    // this record even when the journal write itself fails (a full disk).
    changes_.push_back({&t, 'B', recno, before});
    return Write({'B', JournalTableName(G().PATH, t.path()), recno, before});
  }

  xb::Status BeforeAppend(xb::Table& t, uint32_t recno) override {
    seen_.insert({t.path(), recno});
    changes_.push_back({&t, 'A', recno, {}});
    return Write({'A', JournalTableName(G().PATH, t.path()), recno, {}});
  }

  bool Changed(const xb::Table& t, uint32_t recno) const {
    return seen_.count({t.path(), recno}) > 0;
  }
  void Attach(xb::Table& t) {
    t.SetObserver(this);
    attached_.insert(&t);
  }
  void Forget(xb::Table* t) { attached_.erase(t); }
  const std::set<xb::Table*>& attached() const { return attached_; }
  bool Touched(const xb::Table* t) const {
    for (const auto& c : changes_)
      if (c.table == t) return true;
    return false;
  }
  const std::vector<Change>& changes() const { return changes_; }
  std::vector<std::unique_ptr<xb::Table>>& held() { return held_; }

  xb::Status Discard() { return file_ ? file_->Discard() : xb::Status::OK(); }

 private:
  xb::Status Write(const JournalEntry& e) {
    if (!file_) {
      auto f = JournalFile::Create(JournalFolder(G().PATH));
      if (!f.ok()) return f.status();
      file_ = std::move(*f);
    }
    return file_->Add(e);
  }

  std::unique_ptr<JournalFile> file_;
  std::vector<Change> changes_;
  std::set<std::pair<std::string, uint32_t>> seen_;
  std::vector<std::unique_ptr<xb::Table>> held_;
  std::set<xb::Table*> attached_;  // tables still open in an area or held
};

std::unique_ptr<TransactionJournal> g_journal;

// Every table the transaction may have touched: open areas and held ones.
std::vector<xb::Table*> JournaledTables() {
  std::vector<xb::Table*> out;
  for (xb::Table* t : g_journal->attached()) out.push_back(t);
  return out;
}

// Releases the locks the transaction kept, as the server does at its end.
void ReleaseTransactionLocks() {
  Globals& g = G();
  std::set<int> areas;
  for (const auto& r : g.XA_RECORDS) {
    xb::Table* t = Areas().TableOf(r.area);
    if (!t) continue;
    if (g.XTRANS_TIPO == 1) {
      t->GoTo(r.recno);
      if (!t->Eof()) t->UnlockAll();
    } else if (areas.insert(r.area).second) {
      t->UnlockAll();
    }
  }
  for (xb::Table* t : JournaledTables())
    if (g_journal->Touched(t)) t->UnlockAll();
}

// Ends the journal's life: observers off, held tables closed.
void Finish() {
  for (xb::Table* t : JournaledTables()) t->SetObserver(nullptr);
  g_journal->held().clear();
  g_journal.reset();
  G().XA_RECORDS.clear();
}

// Puts back every journaled record; returns the problems met.
std::vector<std::string> UndoChanges() {
  std::vector<std::string> problems;
  // Pending changes first reach the file (and the journal), then observers go
  // so that the undo itself is not journaled.
  for (xb::Table* t : JournaledTables()) t->WriteBack();
  for (xb::Table* t : JournaledTables()) {
    t->SetObserver(nullptr);
    t->WriteBack();
  }
  const auto& changes = g_journal->changes();
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
    xb::Table& t = *it->table;
    xb::Status s;
    if (it->kind == 'A') {
      // Only a record this transaction holds is its own append.
      if (!t.IsRecordLocked(it->recno)) continue;
      s = t.EraseRecord(it->recno);
    } else {
      if (!t.IsRecordLocked(it->recno)) s = t.LockRecord(it->recno);
      if (s.ok()) s = t.RestoreRecord(it->recno, it->before);
    }
    if (!s.ok()) problems.push_back(s.ToString());
  }
  for (xb::Table* t : JournaledTables()) {
    xb::Status s = t->Flush();
    if (!s.ok()) problems.push_back(s.ToString());
  }
  return problems;
}

void WriteRollbackLog() {
  Globals& g = G();
  try {
    TablePtr log = USE(nullptr, "LOG_ROLL");
    AreaSelection keep(log->Area);
    ADD_WITHOUT_LOG();
    // The business of the session, so the rollback viewer (restricted to the
    // current business) shows the row.
    log->FieldPut("NEGOCIO", xb::Value::Char(g.XU_COMP));
    log->FieldPut("FECHA", xb::Value::Date(XDATE()));
    log->FieldPut("HORA", xb::Value::Char(XTIME()));
    log->FieldPut("USUARIO", xb::Value::Char(g.XUSER_ABREVIA));
    log->FieldPut("INFO_USER", xb::Value::Char(xb::FromUtf8(WorkstationStamp())));
    log->FieldPut("MOTIVO", xb::Value::Char(xb::FromUtf8(g.XADS_T_ERR)));
    if (g.XTRANS_ID) log->FieldPut("TRANS_ID", xb::Value::Number(*g.XTRANS_ID));
    UNLOCK_WITHOUT_LOG();
    KILLTABLA(log);
  } catch (const Fault& f) {
    MESSAGE_BOX("No se pudo registrar el Rollback en LOG_ROLL:\r" + f.info().description, "Alerta",
                kMbIconStop);
  }
}

void Begin(int mode, std::optional<int> id) {
  Globals& g = G();
  g.XA_RECORDS.clear();
  g.XADSTRANS = 1;
  g.XTRANS_TIPO = mode;
  g.XTRANS_ID = id;
  g_journal = std::make_unique<TransactionJournal>();
  for (const auto& [n, wa] : Areas().All())
    if (wa.table && !wa.temporary && !wa.table->read_only()) g_journal->Attach(*wa.table);
}

}  // namespace

bool InServerTransaction() {
  return G().XADSTRANS == 1 && g_journal != nullptr;
}

void START_TRANSACTION(int mode, std::optional<int> id) {
  Globals& g = G();
  if (AdsLineIs(4, "1")) mode = 2;
  if (!IsServerEngine() || g.XADSTRANS == 1) return;
  MeetDeadTransactions();
  bool wanted = AdsLineIs(2, "1") || (id && *id >= 1 && *id <= static_cast<int>(g.XADS_TS.size()) &&
                                      g.XADS_TS[*id - 1] == '1');
  if (!wanted) return;
  Begin(mode, id);
}

void START_ATOMIC_TRANSACTION(int mode) {
  if (G().XADSTRANS == 1) return;
  UndoDeadTransactions();
  Begin(mode, std::nullopt);
}

void END_TRANSACTION() {
  Globals& g = G();
  if (g.XADSTRANS != 1 || !g_journal) return;
  MeetDeadTransactions();
  // Everything must be on disk before the journal goes.
  xb::Status failed;
  for (xb::Table* t : JournaledTables()) {
    xb::Status s = DurableCommits() ? t->Flush() : t->WriteBack();
    if (!s.ok() && failed.ok()) failed = s;
  }
  if (!failed.ok()) {
    g.XADS_T_ERR = failed.message();
    ROLLBACK_TRANSACTION();
    ThrowFault(kGenWrite, failed.message(), "", "END_TRANSACTION");
  }
  g.XADSTRANS = 0;
  xb::Status s = g_journal->Discard();
  ReleaseTransactionLocks();
  Finish();
  CLEAR_FILEBAG();
  if (!s.ok())
    MESSAGE_BOX("No se pudo cerrar el diario de la transacción: " + s.message(), "Alerta");
}

void ROLLBACK_TRANSACTION() {
  Globals& g = G();
  if (g.XADSTRANS != 1 || !g_journal) return;
  g.XADSTRANS = 0;
  std::vector<std::string> problems = UndoChanges();
  // A journal whose undo was incomplete stays for the recovery at next start.
  if (problems.empty()) g_journal->Discard();
  int selected = Areas().Selected();
  ReleaseTransactionLocks();
  Finish();
  CLEAR_FILEBAG();
  WriteRollbackLog();
  Areas().Select(selected);
  if (!problems.empty())
    MESSAGE_BOX("No se pudo deshacer la transacción por completo:\r" + problems.front(), "Alerta",
                kMbIconStop);
}

void AttachJournal(xb::Table& t) {
  if (InServerTransaction() && !t.read_only()) g_journal->Attach(t);
}

bool KeepUntilTransactionEnds(std::unique_ptr<xb::Table>& t) {
  if (!InServerTransaction() || !t) return false;
  if (!g_journal->Touched(t.get())) {
    g_journal->Forget(t.get());
    return false;
  }
  g_journal->held().push_back(std::move(t));
  return true;
}

bool ChangedInTransaction(const xb::Table& t, uint32_t recno) {
  return InServerTransaction() && g_journal->Changed(t, recno);
}

}  // namespace qz
