// Payroll history of the demo: thirteen months of payrolls of every
// department, each opened by the program's own consolidation (the process of
// "Iniciar Planilla") and then paid: the values entered for the period are
// the employee's, and each column's TOTAL is computed from the payroll's own
// copies by the function the recalculations use. Along the way the staff
// changes as a real one does, written into the employees' tables before
// each opening: people hired during the year join the payroll on their
// hiring date, those who left stop after their last day, and a general
// raise of 4 % takes effect six months before the demo's date (before it,
// salaries, base values and hourly-cost factors were 4 % lower).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "lib/data/journal.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"
#include "lib/install/demo/demo_context.h"
#include "lib/payroll/consolidation.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/payroll_totals.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"

namespace qz {
namespace {

constexpr double kRaise = 1.04;

double Round2(double v) {
  return std::round(v * 100) / 100;
}

std::string Trim(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string Bytes(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

struct Payroll {
  int32_t fecha;
  std::string negocio, depto;  // as stored
};

// A change of the staff on a day: field values of one record.
struct Change {
  int32_t day;
  std::string table;
  uint32_t recno;
  std::vector<std::pair<std::string, double>> values;
};

class DemoHistory {
 public:
  DemoHistory(const DemoOptions& o, const std::function<void(const std::string&)>& progress,
              DemoSummary* summary)
      : today_(Day::Ymd(o.year, o.month, o.day)), progress_(progress), summary_(summary) {}

  void Run();

 private:
  std::vector<Payroll> Payrolls();
  // Puts the staff in its state of the history's first day and plans the
  // changes that lead back to today's.
  void RollBack(int32_t start, int32_t raise_day);
  void Set(const std::string& table, uint32_t recno,
           const std::vector<std::pair<std::string, double>>& values);
  void ApplyUpTo(int32_t day);
  void Pay(const Payroll& p);

  Day today_;
  std::function<void(const std::string&)> progress_;
  DemoSummary* summary_;
  std::map<std::string, TablePtr> t_;
  std::vector<Change> changes_;  // in day order once planned
  size_t applied_ = 0;
  std::set<std::string> base_columns_;  // business + column code
  std::map<std::string, std::string> loans_;  // business + employee -> loan
  std::map<std::string, int> movements_;      // per business
};

std::vector<Payroll> DemoHistory::Payrolls() {
  std::map<std::string, std::pair<int, int>> types;  // business + code -> kind, quantity
  xb::Table& tp = t_["TIP_PLA"]->table();
  for (xb::Status s = tp.GoTop(); s.ok() && !tp.Eof(); s = tp.Skip(1))
    types[Bytes(tp, "NEGOCIO") + Bytes(tp, "CODIGO")] = {IntField(tp, "TIPO"),
                                                         IntField(tp, "CANTIDAD")};
  std::vector<Payroll> out;
  xb::Table& d = t_["ENC_DEPT"]->table();
  for (xb::Status s = d.GoTop(); s.ok() && !d.Eof(); s = d.Skip(1)) {
    auto type = types.find(Bytes(d, "NEGOCIO") + Bytes(d, "TIPO"));
    if (type == types.end()) continue;
    for (Day day : demo::PayrollDates(today_, type->second.first, type->second.second))
      out.push_back({day.jd, Bytes(d, "NEGOCIO"), Bytes(d, "CODIGO")});
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Payroll& a, const Payroll& b) { return a.fecha < b.fecha; });
  return out;
}

void DemoHistory::Set(const std::string& table, uint32_t recno,
                      const std::vector<std::pair<std::string, double>>& values) {
  WDBTable& t = *t_[table];
  t.GoTo(recno);
  LOCK_FOR_MODIFY(t);
  for (const auto& [field, v] : values) t.FieldPut(field, xb::Value::Number(v));
  UNLOCK_FOR_MODIFY(t);
}

void DemoHistory::RollBack(int32_t start, int32_t raise_day) {
  xb::Table& types = t_["ENC_TIP"]->table();
  std::set<std::string> dependent;
  for (xb::Status s = types.GoTop(); s.ok() && !types.Eof(); s = types.Skip(1)) {
    const std::string key = Bytes(types, "NEGOCIO") + Trim(Bytes(types, "CODIGO"));
    if (IntField(types, "VAL_BASE") == 1) base_columns_.insert(key);
    if (IntField(types, "VAL_DEPEND") == 1) dependent.insert(key);
  }
  xb::Table& p = t_["ENC_PERS"]->table();
  for (xb::Status s = p.GoTop(); s.ok() && !p.Eof(); s = p.Skip(1)) {
    const uint32_t r = p.RecNo();
    const int32_t hired = DateField(p, "F_INGRESO"), left = DateField(p, "F_RETIRO");
    const bool active = IntField(p, "ACTIVO") == 1;
    const double salary = NumField(p, "TOT_SAL");
    changes_.push_back({raise_day, "ENC_PERS", r, {{"TOT_SAL", salary}}});
    std::vector<std::pair<std::string, double>> then = {{"TOT_SAL", Round2(salary / kRaise)}};
    // On the payroll from the hiring date (or the history's start) to the
    // last day worked.
    const bool at_start = hired <= start && (active || left >= start);
    if (at_start != active) then.push_back({"ACTIVO", at_start ? 1 : 0});
    if (hired > start && (active || left >= hired))
      changes_.push_back({hired, "ENC_PERS", r, {{"ACTIVO", 1}}});
    if (!active && left >= start) changes_.push_back({left + 1, "ENC_PERS", r, {{"ACTIVO", 0}}});
    Set("ENC_PERS", r, then);
  }
  xb::Table& v = t_["DET_PERS"]->table();
  for (xb::Status s = v.GoTop(); s.ok() && !v.Eof(); s = v.Skip(1)) {
    const std::string key = Bytes(v, "NEGOCIO") + Trim(Bytes(v, "COD_COLUMN"));
    const char* field = base_columns_.count(key) ? "VALOR_1"
                        : dependent.count(key)   ? "FACTOR"
                                                 : nullptr;
    if (!field) continue;
    const double now = NumField(v, field);
    if (now == 0) continue;
    changes_.push_back({raise_day, "DET_PERS", v.RecNo(), {{field, now}}});
    Set("DET_PERS", v.RecNo(), {{field, Round2(now / kRaise)}});
  }
  std::stable_sort(changes_.begin(), changes_.end(),
                   [](const Change& a, const Change& b) { return a.day < b.day; });
}

void DemoHistory::ApplyUpTo(int32_t day) {
  for (; applied_ < changes_.size() && changes_[applied_].day <= day; ++applied_) {
    const Change& c = changes_[applied_];
    Set(c.table, c.recno, c.values);
  }
}

void DemoHistory::Pay(const Payroll& p) {
  // What was entered for the period: the employee's values and factors; the
  // base salary is the line's own (the opening put TOT_SAL there).
  WDBTable& values = *t_["DET_PERS"];
  const std::string negocio = p.negocio;
  auto entered = [&](const std::string& empleado, LineValue* v) {
    std::string code = xb::FromUtf8(empleado);
    code.resize(15, ' ');
    std::string column = v->columna;
    column.resize(2, ' ');
    if (!values.Seek(negocio + code + column)) return false;
    if (!base_columns_.count(negocio + v->columna))
      v->valor = values.FieldGet("VALOR_1").number();
    v->factor = values.FieldGet("FACTOR").number();
    return true;
  };
  auto totals = ComputePayrollTotals({negocio, p.depto, p.fecha}, entered);
  if (!totals.ok()) ThrowFault(kGenWrite, totals.status().ToString(), "H_D_PERS", "TOTAL");
  summary_->rows["H_E_PERS"] += totals->lines;
  summary_->rows["H_D_PERS"] += totals->rows;
  // The loan instalments this payroll took.
  WDBTable& lines = *t_["H_E_PERS"];
  lines.table().SetOrder("H_E_PERS");
  const std::string key = p.negocio + p.depto + xb::DtosFromJulian(p.fecha);
  std::vector<std::string> debtors;
  for (bool found = lines.Seek(key); found && !lines.Eof(); lines.Skip(1)) {
    if (Bytes(lines.table(), "NEGOCIO") + Bytes(lines.table(), "DEPTO") +
            xb::DtosFromJulian(DateField(lines.table(), "FECHA")) != key)
      break;
    auto loan = loans_.find(p.negocio + Bytes(lines.table(), "CODIGO"));
    if (loan != loans_.end()) debtors.push_back(loan->second);
  }
  WDBTable& payments = *t_["DET_DDA"];
  for (const auto& loan : debtors) {
    char movement[16];
    std::snprintf(movement, sizeof movement, "AB-%06d", ++movements_[p.negocio]);
    ADD_NEW_REC(payments);
    payments.FieldPut("NEGOCIO", xb::Value::Char(p.negocio));
    payments.FieldPut("DEUDA", xb::Value::Char(loan));
    payments.FieldPut("CODIGO", xb::Value::Char(movement));
    payments.FieldPut("CONCEPTO", xb::Value::Char("01"));
    payments.FieldPut("DEPTO", xb::Value::Char(p.depto));
    UNLOCK_NEW_REC(payments);
    summary_->rows["DET_DDA"]++;
  }
}

void DemoHistory::Run() {
  for (const char* name :
       {"TIP_PLA", "ENC_DEPT", "ENC_TIP", "ENC_PERS", "DET_PERS", "H_E_PERS", "DET_DDA", "ENC_DDA"})
    t_[name] = USE(nullptr, name);
  t_["DET_PERS"]->SetOrder("DET_PERS");
  xb::Table& d = t_["ENC_DDA"]->table();
  for (xb::Status s = d.GoTop(); s.ok() && !d.Eof(); s = d.Skip(1))
    loans_[Bytes(d, "NEGOCIO") + Bytes(d, "DEUDOR")] = Trim(Bytes(d, "CODIGO"));
  std::vector<Payroll> payrolls = Payrolls();
  if (payrolls.empty()) return;
  Day raise = Day::Ymd(today_.year(), today_.month(), 1);
  for (int m = 0; m < 6; ++m) raise = Day::Ymd(raise.Plus(-1).year(), raise.Plus(-1).month(), 1);
  RollBack(payrolls.front().fecha, raise.jd);
  int month = 0;
  for (const Payroll& p : payrolls) {
    Day day{p.fecha};
    if (day.month() != month && progress_) {
      char label[48];
      std::snprintf(label, sizeof label, "demo: payroll history %04d-%02d", day.year(), day.month());
      progress_(label);
    }
    month = day.month();
    ApplyUpTo(p.fecha);
    ConsolidationRequest r;
    r.negocio = xb::ToUtf8(p.negocio);
    r.depto = xb::ToUtf8(p.depto);
    r.fecha = p.fecha;
    ConsolidationResult opened = ConsolidatePayroll(r);
    if (!opened.ok())
      ThrowFault(kGenWrite, opened.message, "H_E_DEPT", "CONSOLIDAR");
    summary_->rows["H_E_DEPT"]++;
    Pay(p);
  }
  ApplyUpTo(today_.jd);
  for (auto& [name, t] : t_) KILLTABLA(t);
}

}  // namespace

xb::Status LoadDemoHistory(const std::string& dir, const DemoOptions& options,
                           const std::function<void(const std::string&)>& progress,
                           DemoSummary* summary) {
  ResetGlobals();
  ResetWorkAreas();
  G().EXT_MODULO = "PCFG";
  xb::Status result;
  if (StartDataLayer(dir) != StartResult::kContinue) {
    result = xb::Status::IOError(dir + ": the data layer did not start");
  } else {
    // The staging folder is thrown away on any failure: nothing needs to
    // reach the disk before the installation is complete.
    SetDurableCommits(false);
    try {
      DemoHistory(options, progress, summary).Run();
    } catch (const Fault& f) {
      result = xb::Status::IOError("demo, payroll history: " + f.info().description);
    }
    SetDurableCommits(true);
  }
  ResetWorkAreas();
  ResetGlobals();
  return result;
}

}  // namespace qz
