#include "lib/payroll/vacation_rules.h"

#include <algorithm>
#include <cmath>

#include "lib/payroll/dates.h"
#include "lib/payroll/money.h"

namespace qz {

Service ServiceUpTo(int32_t inicio, int32_t corte) {
  Service s;
  if (inicio <= 0 || corte <= 0) return s;
  Ymd a = ToYmd(inicio), c = ToYmd(corte);
  int months = (c.y - a.y) * 12 + (c.m - a.m);
  s.years = months / 12;  // truncates towards zero, like INT()
  s.months = RoundHalfAway(static_cast<double>(months % 12), 6);
  if (DayRuleTakesMonth(inicio, corte)) s.months -= 1;
  return s;
}

namespace {

// The row in force in the month that starts after `months` months of service:
// the last one (by MES) whose MES has been reached. Null before the first.
const VacationRow* RowInForce(const std::vector<VacationRow>& rows, double months) {
  const VacationRow* best = nullptr;
  for (const VacationRow& r : rows)
    if (r.mes <= months && (!best || r.mes >= best->mes)) best = &r;
  return best;
}

double DMes(const std::vector<VacationRow>& rows, double months) {
  const VacationRow* r = RowInForce(rows, months);
  return r ? r->d_mes : 0;
}

}  // namespace

double DaysEarned(const std::vector<VacationRow>& rows, Service s) {
  if (rows.empty()) return 0;
  double earned = 0;
  // Each whole year at the yearly days of the row in force when it began.
  for (int i = 0; i < s.years; ++i) {
    const VacationRow* r = RowInForce(rows, 12.0 * i);
    if (r) earned += r->d_anho;
  }
  // The remaining months at the monthly days of the row in force then; the
  // month the day rule takes off (M = -1) is the last one of the years.
  const double at = s.months < 0 ? 12.0 * s.years - 1 : 12.0 * s.years;
  earned += s.months * DMes(rows, at);
  return earned > 0 ? earned : 0;
}

double DaysAccruedInMonth(const std::vector<VacationRow>& rows, int32_t inicio, int32_t fecha) {
  if (rows.empty() || inicio <= 0 || fecha <= 0) return 0;
  int months = MonthsOfService(inicio, EndOfMonth(fecha));
  if (months <= 0) return 0;  // the first month of service is not complete yet
  // The month ending now is the months-th; it began after months - 1.
  return std::max(0.0, DMes(rows, months - 1));
}

}  // namespace qz
