#include "lib/payroll/consolidation.h"

#include <map>
#include <vector>

#include "lib/clock.h"
#include "lib/data/locking.h"
#include "lib/data/patience.h"
#include "lib/data/transaction.h"
#include "lib/errors/fault.h"
#include "lib/payroll/consolidation_copy.h"
#include "lib/data/journal.h"
#include "lib/payroll/definitions.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

using consolidation::ColumnFacts;
using consolidation::Must;
using consolidation::OpeningTables;
using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;
using consolidation::Trimmed;

// At most this many names in one message; the rest are counted.
constexpr size_t kNamesShown = 10;
// How long the shared rows wait for another workstation's opening of the
// same business to end its transaction.
constexpr int64_t kSharedWaitMs = 30000;

ConsolidationResult Told(ConsolidationOutcome outcome, const std::string& message,
                         const std::string& title, int style) {
  ConsolidationResult r;
  r.outcome = outcome;
  r.message = message;
  r.title = title;
  r.style = style;
  return r;
}

std::string Text(const xb::Table& t, const char* field) {
  return Trimmed(xb::ToUtf8(Raw(t, field)));
}

bool SeekExact(WDBTable& t, const std::string& tag, const std::string& key) {
  xb::Table& x = t.table();
  Must(x.SetOrder(tag), t, "SET ORDER");
  Must(x.Seek(xb::Value::Char(key)), t, "SEEK");
  return x.Found() && !x.Eof();
}

// A list of lines, cut after kNamesShown.
std::string Lines(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size() && i < kNamesShown; ++i) out += "\r" + items[i];
  if (items.size() > kNamesShown)
    out += "\r... y " + std::to_string(items.size() - kNamesShown) + " más";
  return out;
}

class Opening {
 public:
  explicit Opening(const ConsolidationRequest& r) : request_(r) {}
  ~Opening() { ReleaseLocks(); }

  ConsolidationResult Run();

 private:
  // The problems that stop the opening before anything is written.
  std::vector<std::string> MissingDefinitions();
  // Locks the active employees; returns those another user holds.
  std::vector<std::string> LockEmployees();
  bool Step() {
    ++done_;
    return !request_.progress || request_.progress(done_, total_);
  }
  void LockSharedRows();
  ConsolidationResult Write();
  void ReleaseLocks();

  const ConsolidationRequest& request_;
  std::unique_ptr<OpeningTables> t_;
  std::string negocio_, depto_, tipo_;
  std::map<std::string, ColumnFacts> columns_;
  std::vector<uint32_t> employees_;  // active, in ENC_PERS order, locked
  uint32_t dept_recno_ = 0;
  bool shared_locked_ = false;
  int64_t done_ = 0, total_ = 0;
};

std::vector<std::string> Opening::MissingDefinitions() {
  std::vector<std::string> missing;
  const std::string depto = Trimmed(xb::ToUtf8(depto_));
  WDBTable& types = (*t_)["ENC_TIP"];
  for (uint32_t r : RowsOf(types, "ENC_TIP", negocio_)) {
    Must(types.table().GoTo(r), types, "GOTO");
    ColumnFacts f;
    f.base = IntField(types.table(), "VAL_BASE") == 1;
    f.vacation = IntField(types.table(), "VAC_PAGADA") == 1;
    columns_[Trimmed(Raw(types.table(), "CODIGO"))] = f;
  }
  WDBTable& payroll_type = (*t_)["TIP_PLA"];
  if (!SeekExact(payroll_type, "TIP_PLA",
                 negocio_ + Padded(payroll_type.table(), "CODIGO", tipo_)))
    missing.push_back("No existe el tipo de planilla \"" + Trimmed(xb::ToUtf8(tipo_)) +
                      "\" del departamento " + depto);
  WDBTable& columns = (*t_)["DET_DEPT"];
  for (uint32_t r : RowsOf(columns, "DET_DEPT", negocio_ + depto_)) {
    Must(columns.table().GoTo(r), columns, "GOTO");
    const std::string code = Trimmed(Raw(columns.table(), "COD_COLUMN"));
    if (!columns_.count(code))
      missing.push_back("No existe el tipo de columna \"" + xb::ToUtf8(code) +
                        "\" de la columna del departamento " + depto);
  }
  WDBTable& person = (*t_)["ENC_PERS"];
  WDBTable& values = (*t_)["DET_PERS"];
  for (uint32_t e : employees_) {
    Must(person.table().GoTo(e), person, "GOTO");
    const std::string code = Raw(person.table(), "CODIGO");
    for (uint32_t r :
         RowsOf(values, "DET_PERS", negocio_ + Padded(values.table(), "CODIGO", code))) {
      Must(values.table().GoTo(r), values, "GOTO");
      const std::string column = Trimmed(Raw(values.table(), "COD_COLUMN"));
      if (!columns_.count(column))
        missing.push_back("No existe el tipo de columna \"" + xb::ToUtf8(column) +
                          "\" del empleado " + Text(person.table(), "CODIGO") + " " +
                          Text(person.table(), "NOMBRE"));
    }
  }
  return missing;
}

std::vector<std::string> Opening::LockEmployees() {
  std::vector<std::string> refused;
  WDBTable& person = (*t_)["ENC_PERS"];
  xb::Table& p = person.table();
  Clock& clock = CurrentClock();
  const int64_t start = clock.TickMs();
  std::vector<uint32_t> locked;
  for (uint32_t r : employees_) {
    for (;;) {
      xb::Status s = p.LockRecord(r);
      if (s.ok()) {
        // Read again under the lock: another user may have moved or
        // retired the employee since the list was made.
        Must(p.GoTo(r), person, "GOTO");
        if (IntField(p, "ACTIVO") == 1 && Raw(p, "DEPTO") == Padded(p, "DEPTO", depto_) &&
            !p.Deleted())
          locked.push_back(r);
        else
          p.UnlockRecord(r);
        break;
      }
      if (!s.IsBusy()) Must(s, person, "RLOCK");
      if (clock.TickMs() - start >= kPatienceMs) {
        Must(p.GoTo(r), person, "GOTO");
        refused.push_back(Text(p, "CODIGO") + " " + Text(p, "NOMBRE"));
        break;
      }
      clock.SleepMs(kRetryPauseMs);
    }
  }
  employees_ = locked;
  return refused;
}

void Opening::LockSharedRows() {
  WDBTable& costs = (*t_)["H_E_COST"];
  Clock& clock = CurrentClock();
  const int64_t start = clock.TickMs();
  for (;;) {
    xb::Status s = costs.table().LockFile();
    if (s.ok()) break;
    if (!s.IsBusy() || clock.TickMs() - start >= kSharedWaitMs)
      ThrowFault(kGenLock, "El dato se encuentra bloqueado: H_E_COST", costs.table().path(),
                 "FLOCK", kOsSharingViolation);
    if (request_.progress && !request_.progress(done_, total_)) break;
    clock.SleepMs(kRetryPauseMs);
  }
  shared_locked_ = true;
}

void Opening::ReleaseLocks() {
  if (!t_) return;
  if (shared_locked_) (*t_)["H_E_COST"].table().UnlockAll();
  shared_locked_ = false;
  xb::Table& p = (*t_)["ENC_PERS"].table();
  for (uint32_t r : employees_) p.UnlockRecord(r);
  employees_.clear();
  if (dept_recno_) (*t_)["ENC_DEPT"].table().UnlockRecord(dept_recno_);
  dept_recno_ = 0;
  t_.reset();
}

ConsolidationResult Opening::Write() {
  consolidation::PayrollCopy copy(*t_, negocio_, depto_, request_.fecha, columns_);
  Must((*t_)["ENC_DEPT"].table().GoTo(dept_recno_), (*t_)["ENC_DEPT"], "GOTO");
  copy.Definitions();
  bool go_on = Step();
  int lines = 0;
  for (size_t i = 0; go_on && i < employees_.size(); ++i) {
    copy.Employee(employees_[i]);
    ++lines;
    go_on = Step();
  }
  bool shared = false;
  if (go_on) {
    LockSharedRows();
    shared = copy.Shared();
    go_on = Step();
  }
  if (!go_on) {
    G().XADS_T_ERR = "Proceso cancelado por el usuario";
    ROLLBACK_TRANSACTION();
    return Told(ConsolidationOutcome::kCancelled,
                "Proceso cancelado: no se inició la planilla", "Aviso", kMbIconInformation);
  }
  END_TRANSACTION();
  ConsolidationResult r =
      Told(ConsolidationOutcome::kDone, "Fin de Proceso", "Aviso", kMbIconInformation);
  r.lines = lines;
  r.shared_copied = shared;
  return r;
}

ConsolidationResult Opening::Run() {
  if (request_.fecha <= 0)
    return Told(ConsolidationOutcome::kInvalidDate, "Fecha inválida", "Error", kMbIconStop);
  // A dead workstation's half-done opening must be undone before its header
  // is taken for a payroll that exists.
  UndoDeadTransactions();
  t_ = std::make_unique<OpeningTables>();
  WDBTable& dept = (*t_)["ENC_DEPT"];
  negocio_ = Padded(dept.table(), "NEGOCIO", xb::FromUtf8(request_.negocio));
  depto_ = Padded(dept.table(), "CODIGO", xb::FromUtf8(request_.depto));
  if (!SeekExact(dept, "ENC_DEPT", negocio_ + depto_))
    return Told(ConsolidationOutcome::kNoDepartment,
                "No existe el departamento " + Trimmed(request_.depto), "Error", kMbIconStop);
  // The department's row stays locked until the opening ends: a second
  // workstation opening the same payroll waits here, then finds the header.
  LOCK_WITHOUT_LOG(dept);
  dept_recno_ = dept.table().RecNo();
  tipo_ = Raw(dept.table(), "TIPO");
  if (SeekExact((*t_)["H_E_DEPT"], "H_E_DEPT2",
                negocio_ + depto_ + xb::DtosFromJulian(request_.fecha)))
    return Told(ConsolidationOutcome::kAlreadyExists,
                "Ya existe una planilla para la fecha escogida", "Error", kMbIconStop);

  WDBTable& person = (*t_)["ENC_PERS"];
  for (uint32_t r : RowsOf(person, "ENC_PERS", negocio_ + depto_)) {
    Must(person.table().GoTo(r), person, "GOTO");
    if (IntField(person.table(), "ACTIVO") == 1) employees_.push_back(r);
  }
  std::vector<std::string> missing = MissingDefinitions();
  if (!missing.empty())
    return Told(ConsolidationOutcome::kMissingDefinition,
                "No se puede iniciar la planilla:" + Lines(missing), "Error", kMbIconStop);
  std::vector<std::string> refused = LockEmployees();
  if (!refused.empty())
    return Told(ConsolidationOutcome::kLockedEmployees,
                "Otro usuario está modificando estos empleados; no se inició la planilla:" +
                    Lines(refused),
                "Alerta", kMbIconStop);
  total_ = static_cast<int64_t>(employees_.size()) + 2;
  if (request_.progress && !request_.progress(0, total_))
    return Told(ConsolidationOutcome::kCancelled, "Proceso cancelado: no se inició la planilla",
                "Aviso", kMbIconInformation);

  START_ATOMIC_TRANSACTION();
  try {
    ConsolidationResult r = Write();
    ReleaseLocks();
    return r;
  } catch (const Fault& f) {
    if (InServerTransaction()) {
      G().XADS_T_ERR = f.info().description;
      ROLLBACK_TRANSACTION();
    }
    ReleaseLocks();
    if (!f.info().reported) throw;
    return Told(ConsolidationOutcome::kFailed,
                "No se pudo iniciar la planilla: " + f.info().description, "Error", kMbIconStop);
  }
}

}  // namespace

ConsolidationResult ConsolidatePayroll(const ConsolidationRequest& request) {
  Opening opening(request);
  return opening.Run();
}

void ShowConsolidationResult(const ConsolidationResult& result) {
  if (result.outcome == ConsolidationOutcome::kFailed || result.message.empty()) return;
  MESSAGE_BOX(result.message, result.title, result.style);
}

}  // namespace qz
