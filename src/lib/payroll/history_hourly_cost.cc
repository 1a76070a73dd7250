#include "lib/payroll/history_hourly_cost.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/money.h"
#include "lib/payroll/rates.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

using consolidation::Must;
using consolidation::Padded;
using consolidation::Raw;
using consolidation::Trimmed;

// The lines of H_E_PERS7 count days back from this date.
const int32_t kLimite = xb::JulianFromYmd(2090, 1, 1);
// Periods are counted in cents: 0.33 x 3 reaches 0.99, not 1.
constexpr double kEpsilon = 1e-9;

double NumberOf(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

int32_t DateOf(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->type() == xb::Value::Type::kDate ? v->date() : 0;
}

// What one payroll's copies say about its lines.
struct PayrollFacts {
  bool found = false;     // the header exists
  std::string moneda;     // payroll currency
  bool has_type = false;  // the payroll-type copy exists
  double val_div = 0;
  double share = 1;       // PeriodShare of its N_EMISION
};

class HourlyCost {
 public:
  explicit HourlyCost(const HistoryRecalcRequest& r) : request_(r) {
    h_e_dept_ = USE(nullptr, "H_E_DEPT", "H_E_DEPT4");
    h_e_pers_ = USE(nullptr, "H_E_PERS", "H_E_PERS");
    h_tip_pl_ = USE(nullptr, "H_TIP_PL", "H_TIP_PL");
    h_tiem_e_ = USE(nullptr, "H_TIEM_E", "H_TIEM_E");
    f_plan_ = USE(nullptr, "F_PLAN", "F_PLAN");
    t_cambio_ = USE(nullptr, "T_CAMBIO", "T_CAMB2");
  }
  ~HourlyCost() {
    for (TablePtr* t : {&h_e_dept_, &h_e_pers_, &h_tip_pl_, &h_tiem_e_, &f_plan_, &t_cambio_})
      KILLTABLA(*t);
  }

  bool Run(HistoryRecalcResult& out);

 private:
  const PayrollFacts& Facts(const std::string& depto, int32_t fecha);
  // FACTOR of the schedule copy; nothing when the copy is missing.
  std::optional<double> ScheduleFactor(const std::string& depto, const std::string& tiempo,
                                       int32_t fecha);
  // The average income of the line on which H_E_PERS stands.
  double AverageIncome(const PayrollFacts& current);

  const HistoryRecalcRequest& request_;
  std::string negocio_;
  double sal_prom_ = 0;
  TablePtr h_e_dept_, h_e_pers_, h_tip_pl_, h_tiem_e_, f_plan_, t_cambio_;
  std::map<std::string, PayrollFacts> facts_;
  std::map<std::string, std::optional<double>> schedules_;
};

const PayrollFacts& HourlyCost::Facts(const std::string& depto, int32_t fecha) {
  const std::string date = xb::DtosFromJulian(fecha);
  auto [it, added] = facts_.try_emplace(depto + date);
  if (!added) return it->second;
  PayrollFacts& f = it->second;
  WDBTable& h = *h_e_dept_;
  if (!SeekHistory(h, "H_E_DEPT2", negocio_ + Padded(h.table(), "CODIGO", depto) + date))
    return f;
  f.found = true;
  f.moneda = Raw(h.table(), "MONEDA");
  WDBTable& tipo = *h_tip_pl_;
  if (SeekHistory(tipo, "H_TIP_PL",
           negocio_ + Padded(tipo.table(), "DEPTO", depto) +
               Padded(tipo.table(), "CODIGO", Raw(h.table(), "TIPO")) + date)) {
    f.has_type = true;
    f.val_div = NumberOf(tipo.table(), "VAL_DIV");
    f.share = PeriodShare(NumberOf(tipo.table(), "N_EMISION"));
  }
  return f;
}

std::optional<double> HourlyCost::ScheduleFactor(const std::string& depto,
                                                 const std::string& tiempo, int32_t fecha) {
  WDBTable& s = *h_tiem_e_;
  const std::string key = negocio_ + Padded(s.table(), "DEPTO", depto) +
                          Padded(s.table(), "CODIGO", tiempo) + xb::DtosFromJulian(fecha);
  auto [it, added] = schedules_.try_emplace(key);
  if (added && SeekHistory(s, "H_TIEM_E", key)) it->second = NumberOf(s.table(), "FACTOR");
  return it->second;
}

double HourlyCost::AverageIncome(const PayrollFacts& current) {
  WDBTable& p = *h_e_pers_;
  xb::Table& x = p.table();
  const uint32_t line = x.RecNo();
  const double own = NumberOf(x, "TOT_SAL");
  const int32_t fecha = DateOf(x, "FECHA");
  const int32_t inicio = DateOf(x, "F_INICIO");
  const std::string prefix = negocio_ + Raw(x, "CODIGO");
  char days[16];
  std::snprintf(days, sizeof days, "%10d", kLimite - fecha);
  Must(x.SetOrder("H_E_PERS7"), p, "SET ORDER");
  Must(x.Seek(xb::Value::Char(prefix + days), true), p, "SEEK");
  double sum = 0, periods = 0;
  for (; !x.Eof(); Must(x.Skip(1), p, "SKIP")) {
    auto key = x.CurrentKey();
    if (!key.ok() || key->compare(0, prefix.size(), prefix) != 0) break;
    const int32_t dated = DateOf(x, "FECHA");
    if (dated > fecha) continue;
    if (inicio != 0 && dated < inicio) break;
    const PayrollFacts& past = Facts(Raw(x, "DEPTO"), dated);
    // The older line was paid in its payroll's currency: the sum is kept in
    // the currency of the payroll being recomputed.
    const double rate = past.moneda == current.moneda
                            ? 1
                            : CAMBIO_SPEC(negocio_, t_cambio_->table(), current.moneda,
                                          past.moneda, dated);
    sum += NumberOf(x, "TOT_SAL") * rate;
    periods += past.share;
    if (periods + kEpsilon >= sal_prom_) break;
  }
  Must(x.GoTo(line), p, "GOTO");
  // sum / periods is an income per month; VAL_DIV divides the income of one
  // pay period (the days of a week for a weekly payroll), so the average is
  // brought back to one period of the line's own payroll.
  return periods > kEpsilon ? sum / periods * current.share : own;
}

bool HourlyCost::Run(HistoryRecalcResult& out) {
  negocio_ = HistoryBusiness(*h_e_dept_, request_.negocio);
  if (SeekHistory(*f_plan_, "F_PLAN", negocio_))
    sal_prom_ = NumberOf(f_plan_->table(), "SAL_PROM");
  WDBTable& person = *h_e_pers_;
  xb::Table& x = person.table();
  const int cost_field = x.FieldIndex("COST_HPROM");
  return WalkPayrollLines(*h_e_dept_, person, negocio_, request_, out, nullptr,
                          [&](const HistoryPayroll& p) {
    const PayrollFacts& facts = Facts(p.depto, p.fecha);
    const std::optional<double> factor = ScheduleFactor(p.depto, Raw(x, "COD_TIEMPO"), p.fecha);
    double cost = 0;
    // Without its copies the divisor is undefined: the line costs 0
    // rather than keep a value nothing supports.
    if (facts.has_type && facts.val_div != 0 && factor && *factor != 0)
      cost = AverageIncome(facts) / facts.val_div / *factor;
    else
      ++out.skipped;
    if (cost_field < 0) return;
    const double stored = NumberOf(x, "COST_HPROM");
    if (std::fabs(RoundHalfAway(cost, 5) - stored) < 5e-7) return;
    LOCK_FOR_MODIFY(person);
    Must(x.Put(cost_field, xb::Value::Number(cost)), person, "REPLACE");
    UNLOCK_FOR_MODIFY(person);
    ++out.written;
  });
}

}  // namespace

double PeriodShare(double n_emision) {
  return n_emision == 0 ? 1 : RoundHalfAway(1 / n_emision, 2);
}

HistoryRecalcResult RecalcAverageHourlyCost(const HistoryRecalcRequest& request) {
  HourlyCost run(request);
  return RunHistoryRecalc([&](HistoryRecalcResult& r) { return run.Run(r); });
}

}  // namespace qz
