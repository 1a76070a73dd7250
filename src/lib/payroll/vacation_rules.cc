#include "lib/payroll/vacation_rules.h"

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

double DaysEarned(const std::vector<VacationRow>& rows, Service s) {
  if (rows.empty()) return 0;
  double y = s.years, m = s.months;
  if (rows.size() == 1) return y * rows[0].d_anho + m * rows[0].d_mes;
  double earned = 0;
  // Each visit consumes a year while there is one, so the walk ends after at
  // most Y + 2 rows whatever the row count.
  for (size_t i = 0;; ++i) {
    if (y < 1 && m < 1) break;
    const VacationRow& r = rows[i < rows.size() ? i : rows.size() - 1];
    if (i == 0) {
      if (y > 0) {
        earned += r.d_anho;
        y -= 1;
      }
      if (y < 1) {
        earned += m * r.d_mes;
        m = 0;
      }
    } else {
      if (y < 1) {
        earned += m * r.d_mes;
        m = 0;
      }
      if (y > 0) {
        earned += r.d_anho;
        y -= 1;
      }
    }
  }
  return earned;
}

double DaysAccruedInMonth(const std::vector<VacationRow>& rows, int32_t inicio, int32_t fecha) {
  if (rows.empty() || inicio <= 0 || fecha <= 0) return 0;
  int months = MonthsOfService(inicio, EndOfMonth(fecha));
  for (const VacationRow& r : rows)
    if (r.mes >= months) return r.d_mes;
  return months >= rows[0].mes ? rows[0].d_mes : 0;
}

}  // namespace qz
