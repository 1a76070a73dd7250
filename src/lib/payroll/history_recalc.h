// What the recalculations over past payrolls share: which payrolls a date
// range selects, how the work reports its progress, and the run of the whole
// recalculation as one atomic transaction, so a run stopped half-way (the
// user cancels, a row another workstation holds, a killed process) leaves
// the history as it was and can simply be run again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lib/data/use.h"

namespace qz {

// "Inicio:" and "Fin :" as typed, 0 for an empty date. Both empty select
// every payroll; otherwise the payrolls dated from `inicio` to `fin`, an
// empty date counting as earlier than every date (so a range with only
// "Inicio:" selects nothing and one with only "Fin :" everything up to it).
struct HistoryDateRange {
  int32_t inicio = 0;
  int32_t fin = 0;
  bool Includes(int32_t fecha) const;
};

// One payroll (H_E_DEPT row) a recalculation visits.
struct HistoryPayroll {
  std::string depto;    // as stored, blank padded
  int32_t fecha = 0;
  std::string descrip;  // UTF-8, trimmed
  std::string tipo;     // payroll type code, as stored
  std::string moneda;   // payroll currency, as stored
};

// The payrolls of `negocio` (padded) the range selects, in date order and
// department code order within a date (tag H_E_DEPT4).
std::vector<HistoryPayroll> PayrollsInRange(WDBTable& h_e_dept, const std::string& negocio,
                                            const HistoryDateRange& range);

struct HistoryRecalcRequest {
  std::string negocio;  // business code (UTF-8, padded or not)
  HistoryDateRange range;
  // Called as the work goes with the text the waiting window shows (the
  // payroll's date and description, or the line's code and name) and the
  // lines done of the lines in range. Returning false stops the run; what
  // was written is undone. May be empty.
  std::function<bool(const std::string& text, int64_t done, int64_t total)> progress;
};

enum class HistoryRecalcOutcome {
  kDone,       // "Fin de Proceso"
  kCancelled,  // the progress callback asked to stop; nothing changed
  kFailed,     // a lock or write was refused; the error handler told the user
};

struct HistoryRecalcResult {
  HistoryRecalcOutcome outcome = HistoryRecalcOutcome::kFailed;
  std::string message;  // what the user is told (UTF-8), with its title and style
  std::string title;
  int style = 0;
  int payrolls = 0;  // payrolls in range
  int lines = 0;     // payroll lines visited
  int written = 0;   // lines whose values were written
  int skipped = 0;   // lines left as they were (summary present, divisor undefined)
  bool ok() const { return outcome == HistoryRecalcOutcome::kDone; }
};

// The text of the waiting window while a recalculation runs.
inline constexpr const char* kHistoryRecalcWaitText = "Procesando Datos.";

// Runs `body` inside one atomic transaction and builds the result: kDone
// after the commit, kCancelled (everything undone) when `body` returns
// false, kFailed when a step was refused and the error handler has rolled
// back and told the user. Faults the handler has not seen (a table that
// cannot be opened) are thrown on after the rollback, for the caller's
// RunOperation.
// REQUIRES: the data layer is started and no transaction is open.
HistoryRecalcResult RunHistoryRecalc(const std::function<bool(HistoryRecalcResult&)>& body);

// Shows the result's message through MESSAGE_BOX (nothing for kFailed).
void ShowHistoryRecalcResult(const HistoryRecalcResult& result);

// The walk both recalculations make: every line (H_E_PERS) of the payrolls
// in range, payroll by payroll, telling the waiting window the payroll's
// date and description and then each line's code and name, and counting the
// payrolls and lines visited in `out`. `on_payroll` runs before a payroll's
// lines; `on_line` with `h_e_pers` standing on the line. The lines of every
// payroll are listed before the first visit, so what a visit writes never
// moves the walk. False when the user stopped it.
bool WalkPayrollLines(WDBTable& h_e_dept, WDBTable& h_e_pers, const std::string& negocio,
                      const HistoryRecalcRequest& request, HistoryRecalcResult& out,
                      const std::function<void(const HistoryPayroll&)>& on_payroll,
                      const std::function<void(const HistoryPayroll&)>& on_line);

// Seeks `key` exactly on `tag` of `t`; true when a row was found.
bool SeekHistory(WDBTable& t, const std::string& tag, const std::string& key);

// Calls the request's progress, if any.
bool ReportProgress(const HistoryRecalcRequest& r, const std::string& text, int64_t done,
                    int64_t total);

// The padded business code of a request, as the history tables key it.
std::string HistoryBusiness(const WDBTable& t, const std::string& negocio);

}  // namespace qz
