#include "lib/payroll/history_summary.h"

#include <array>
#include <map>
#include <set>

#include "lib/clock.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/new_rows.h"
#include "lib/data/patience.h"
#include "lib/errors/fault.h"
#include "lib/payroll/consolidation_tables.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

using consolidation::Must;
using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;
using consolidation::Trimmed;

constexpr int kResults = 5;
// H_D_PER4 names the columns; H_D_PER5 .. H_D_PER9 hold RESULT1 .. RESULT5.
const char* const kSummaryTables[kResults + 1] = {"H_D_PER4", "H_D_PER5", "H_D_PER6",
                                                   "H_D_PER7", "H_D_PER8", "H_D_PER9"};
// How long the rebuild waits for another workstation's rebuild to end.
constexpr int64_t kSummaryWaitMs = 30000;

using Results = std::array<double, kResults>;

struct Slot {
  std::string column;  // as stored in H_D_PERS
  Results results{};
};

class SummaryRebuild {
 public:
  explicit SummaryRebuild(const HistoryRecalcRequest& r) : request_(r) {
    h_e_dept_ = USE(nullptr, "H_E_DEPT", "H_E_DEPT4");
    h_d_dept_ = USE(nullptr, "H_D_DEPT", "H_D_DEPT5");
    h_e_pers_ = USE(nullptr, "H_E_PERS", "H_E_PERS");
    h_d_pers_ = USE(nullptr, "H_D_PERS", "H_D_PERS2");
    for (int k = 0; k <= kResults; ++k) {
      summary_[k] = USE(nullptr, kSummaryTables[k], kSummaryTables[k]);
      const xb::Table& t = summary_[k]->table();
      for (int n = 1; n <= kSummarySlots; ++n) {
        // Older installations may have fewer slots; the missing ones are
        // passed over.
        const std::string name = k == 0 ? "COL_" + std::to_string(n)
                                         : "RESUL" + std::to_string(k) + "_" + std::to_string(n);
        slot_field_[k][n - 1] = t.FieldIndex(name);
      }
    }
  }
  ~SummaryRebuild() {
    if (locked_) summary_[0]->table().UnlockAll();
    for (TablePtr* t : {&h_e_dept_, &h_d_dept_, &h_e_pers_, &h_d_pers_}) KILLTABLA(*t);
    for (TablePtr& t : summary_) KILLTABLA(t);
  }

  bool Run(HistoryRecalcResult& out);

 private:
  void LockSummaries();
  std::vector<std::string> PayrollColumns(const HistoryPayroll& p);
  bool HasSummary(const std::string& empleado, const std::string& fecha);
  std::vector<Slot> Slots(const std::vector<std::string>& columns, const std::string& empleado,
                          const std::string& fecha);
  void Write(const std::string& empleado, int32_t fecha, const std::vector<Slot>& slots);
  const HistoryRecalcRequest& request_;
  std::string negocio_;
  TablePtr h_e_dept_, h_d_dept_, h_e_pers_, h_d_pers_;
  TablePtr summary_[kResults + 1];
  int slot_field_[kResults + 1][kSummarySlots];
  bool locked_ = false;
};

void SummaryRebuild::LockSummaries() {
  xb::Table& t = summary_[0]->table();
  Clock& clock = CurrentClock();
  const int64_t start = clock.TickMs();
  for (;;) {
    xb::Status s = t.LockFile();
    if (s.ok()) break;
    if (!s.IsBusy() || clock.TickMs() - start >= kSummaryWaitMs)
      ThrowFault(kGenLock, "El dato se encuentra bloqueado: H_D_PER4", t.path(), "FLOCK",
                 kOsSharingViolation);
    clock.SleepMs(kRetryPauseMs);
  }
  locked_ = true;
}

std::vector<std::string> SummaryRebuild::PayrollColumns(const HistoryPayroll& p) {
  std::vector<std::string> columns;
  std::set<std::string> seen;
  WDBTable& cols = *h_d_dept_;
  for (uint32_t r : RowsOf(cols, "H_D_DEPT5", negocio_ + p.depto + xb::DtosFromJulian(p.fecha))) {
    Must(cols.table().GoTo(r), cols, "GOTO");
    std::string code = Trimmed(Raw(cols.table(), "COD_COLUMN"));
    // A column listed twice in one payroll is summarised once.
    if (!code.empty() && seen.insert(code).second) columns.push_back(code);
  }
  return columns;
}

bool SummaryRebuild::HasSummary(const std::string& empleado, const std::string& fecha) {
  WDBTable& t = *summary_[0];
  return SeekHistory(t, "H_D_PER4", negocio_ + Padded(t.table(), "CODIGO", empleado) + fecha);
}

std::vector<Slot> SummaryRebuild::Slots(const std::vector<std::string>& columns,
                                        const std::string& empleado, const std::string& fecha) {
  std::map<std::string, Slot> values;
  WDBTable& v = *h_d_pers_;
  xb::Table& x = v.table();
  for (uint32_t r : RowsOf(v, "H_D_PERS2", negocio_ + Padded(x, "CODIGO", empleado) + fecha)) {
    Must(x.GoTo(r), v, "GOTO");
    Slot s;
    s.column = Raw(x, "COD_COLUMN");
    for (int k = 0; k < kResults; ++k) {
      auto value = x.Get("RESULT" + std::to_string(k + 1));
      s.results[k] = value.ok() && value->is_numeric() ? value->number() : 0;
    }
    values.emplace(Trimmed(s.column), s);
  }
  std::vector<Slot> slots;
  for (const std::string& c : columns) {
    if (slots.size() == static_cast<size_t>(kSummarySlots)) break;
    auto it = values.find(c);
    if (it != values.end()) slots.push_back(it->second);
  }
  return slots;
}

void SummaryRebuild::Write(const std::string& empleado, int32_t fecha,
                           const std::vector<Slot>& slots) {
  const std::string date = xb::DtosFromJulian(fecha);
  for (int k = 0; k <= kResults; ++k) {
    WDBTable& t = *summary_[k];
    xb::Table& x = t.table();
    const std::string code = Padded(x, "CODIGO", empleado);
    // A result row left without its H_D_PER4 row (written by another
    // program) is taken over and every slot written again.
    const bool existed = k > 0 && SeekHistory(t, kSummaryTables[k], negocio_ + code + date);
    if (!existed && xb::NewRecord::Fits(x)) {
      // Built whole before it is appended: one write of the row and its keys.
      xb::NewRecord row(x);
      Must(row.Put("NEGOCIO", xb::Value::Char(negocio_)), t, "REPLACE");
      Must(row.Put("CODIGO", xb::Value::Char(code)), t, "REPLACE");
      Must(row.Put("FECHA", xb::Value::Date(fecha)), t, "REPLACE");
      for (size_t n = 0; n < slots.size() && n < static_cast<size_t>(kSummarySlots); ++n) {
        const int field = slot_field_[k][n];
        if (field < 0) continue;
        Must(row.Put(field, k == 0 ? xb::Value::Char(slots[n].column)
                                   : xb::Value::Number(slots[n].results[k - 1])),
             t, "REPLACE");
      }
      ADD_NEW_REC_WITH(t, row);
      continue;
    }
    if (existed) {
      LOCK_FOR_MODIFY(t);
    } else {
      ADD_NEW_REC(t);
      Must(x.Put("NEGOCIO", xb::Value::Char(negocio_)), t, "REPLACE");
      Must(x.Put("CODIGO", xb::Value::Char(code)), t, "REPLACE");
      Must(x.Put("FECHA", xb::Value::Date(fecha)), t, "REPLACE");
    }
    for (int n = 0; n < kSummarySlots; ++n) {
      const int field = slot_field_[k][n];
      if (field < 0) continue;
      const bool used = static_cast<size_t>(n) < slots.size();
      if (!used && !existed) continue;  // a new row is blank already
      xb::Value v = k == 0 ? xb::Value::Char(used ? slots[n].column : std::string())
                           : xb::Value::Number(used ? slots[n].results[k - 1] : 0);
      Must(x.Put(field, v), t, "REPLACE");
    }
    UNLOCK_FOR_MODIFY(t);
  }
}

bool SummaryRebuild::Run(HistoryRecalcResult& out) {
  negocio_ = HistoryBusiness(*h_e_dept_, request_.negocio);
  LockSummaries();
  WDBTable& person = *h_e_pers_;
  std::vector<std::string> columns;
  return WalkPayrollLines(
      *h_e_dept_, person, negocio_, request_, out,
      [&](const HistoryPayroll& p) { columns = PayrollColumns(p); },
      [&](const HistoryPayroll& p) {
        const std::string empleado = Trimmed(Raw(person.table(), "CODIGO"));
        const std::string date = xb::DtosFromJulian(p.fecha);
        if (HasSummary(empleado, date)) {
          ++out.skipped;
          return;
        }
        const std::vector<Slot> slots = Slots(columns, empleado, date);
        if (slots.empty()) return;
        Write(empleado, p.fecha, slots);
        ++out.written;
      });
}

}  // namespace

HistoryRecalcResult RebuildColumnSummary(const HistoryRecalcRequest& request) {
  SummaryRebuild rebuild(request);
  return RunHistoryRecalc([&](HistoryRecalcResult& r) { return rebuild.Run(r); });
}

}  // namespace qz
