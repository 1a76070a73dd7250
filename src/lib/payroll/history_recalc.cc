#include "lib/payroll/history_recalc.h"

#include "lib/data/date_time.h"
#include "lib/data/transaction.h"
#include "lib/errors/fault.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/data/journal.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {

using consolidation::Must;
using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;
using consolidation::Trimmed;

bool HistoryDateRange::Includes(int32_t fecha) const {
  if (inicio == 0 && fin == 0) return true;
  // An empty date is earlier than every date: an empty "Fin :" ends the
  // range before any payroll.
  return (inicio == 0 || fecha >= inicio) && fin != 0 && fecha <= fin;
}

std::vector<HistoryPayroll> PayrollsInRange(WDBTable& h_e_dept, const std::string& negocio,
                                            const HistoryDateRange& range) {
  std::vector<HistoryPayroll> out;
  xb::Table& h = h_e_dept.table();
  const xb::Value key = xb::Value::Char(negocio);
  Must(h.SetOrder("H_E_DEPT4"), h_e_dept, "SET ORDER");
  Must(h.SetScope(key, key), h_e_dept, "SET SCOPE");
  for (xb::Status s = h.GoTop(); !h.Eof(); s = h.Skip(1)) {
    Must(s, h_e_dept, "SKIP");
    auto fecha = h.Get("FECHA");
    const int32_t date = fecha.ok() && fecha->type() == xb::Value::Type::kDate ? fecha->date() : 0;
    if (!range.Includes(date)) continue;
    out.push_back({Raw(h, "CODIGO"), date, Trimmed(xb::ToUtf8(Raw(h, "DESCRIP"))), Raw(h, "TIPO"),
                   Raw(h, "MONEDA")});
  }
  Must(h.ClearScope(), h_e_dept, "SET SCOPE");
  return out;
}

bool ReportProgress(const HistoryRecalcRequest& r, const std::string& text, int64_t done,
                    int64_t total) {
  return !r.progress || r.progress(text, done, total);
}

bool WalkPayrollLines(WDBTable& h_e_dept, WDBTable& h_e_pers, const std::string& negocio,
                      const HistoryRecalcRequest& request, HistoryRecalcResult& out,
                      const std::function<void(const HistoryPayroll&)>& on_payroll,
                      const std::function<void(const HistoryPayroll&)>& on_line) {
  const std::vector<HistoryPayroll> payrolls = PayrollsInRange(h_e_dept, negocio, request.range);
  std::vector<std::vector<uint32_t>> lines;
  int64_t total = 0;
  for (const HistoryPayroll& p : payrolls) {
    lines.push_back(RowsOf(h_e_pers, "H_E_PERS", negocio + p.depto + xb::DtosFromJulian(p.fecha)));
    total += static_cast<int64_t>(lines.back().size());
  }
  out.payrolls = static_cast<int>(payrolls.size());
  int64_t done = 0;
  xb::Table& x = h_e_pers.table();
  for (size_t i = 0; i < payrolls.size(); ++i) {
    const HistoryPayroll& p = payrolls[i];
    if (!ReportProgress(request, DateText(p.fecha) + " " + p.descrip, done, total)) return false;
    if (on_payroll) on_payroll(p);
    for (uint32_t r : lines[i]) {
      Must(x.GoTo(r), h_e_pers, "GOTO");
      if (!ReportProgress(request,
                          Trimmed(xb::ToUtf8(Raw(x, "CODIGO"))) + " " +
                              Trimmed(xb::ToUtf8(Raw(x, "NOMBRE"))),
                          done++, total))
        return false;
      ++out.lines;
      on_line(p);
    }
  }
  return ReportProgress(request, "", done, total);
}

bool SeekHistory(WDBTable& t, const std::string& tag, const std::string& key) {
  xb::Table& x = t.table();
  Must(x.SetOrder(tag), t, "SET ORDER");
  Must(x.Seek(xb::Value::Char(key)), t, "SEEK");
  return x.Found() && !x.Eof();
}

std::string HistoryBusiness(const WDBTable& t, const std::string& negocio) {
  return Padded(t.table(), "NEGOCIO", xb::FromUtf8(negocio));
}

HistoryRecalcResult RunHistoryRecalc(const std::function<bool(HistoryRecalcResult&)>& body) {
  HistoryRecalcResult r;
  UndoDeadTransactions();
  START_ATOMIC_TRANSACTION();
  try {
    if (!body(r)) {
      G().XADS_T_ERR = "Proceso cancelado por el usuario";
      ROLLBACK_TRANSACTION();
      r.outcome = HistoryRecalcOutcome::kCancelled;
      r.message = "Proceso cancelado: el histórico quedó como estaba";
      r.title = "Aviso";
      r.style = kMbIconInformation;
      return r;
    }
    END_TRANSACTION();
  } catch (const Fault& f) {
    if (InServerTransaction()) {
      G().XADS_T_ERR = f.info().description;
      ROLLBACK_TRANSACTION();
    }
    if (!f.info().reported) throw;
    r.outcome = HistoryRecalcOutcome::kFailed;
    r.message = "No se pudo recalcular el histórico: " + f.info().description;
    r.title = "Error";
    r.style = kMbIconStop;
    return r;
  } catch (...) {
    if (InServerTransaction()) ROLLBACK_TRANSACTION();
    throw;
  }
  r.outcome = HistoryRecalcOutcome::kDone;
  r.message = "Fin de Proceso";
  r.title = "Aviso";
  r.style = kMbIconInformation;
  return r;
}

void ShowHistoryRecalcResult(const HistoryRecalcResult& result) {
  if (result.outcome == HistoryRecalcOutcome::kFailed || result.message.empty()) return;
  MESSAGE_BOX(result.message, result.title, result.style);
}

}  // namespace qz
