#include "lib/payroll/dates.h"

#include "lib/clock.h"
#include "xbase/value.h"

namespace qz {

Ymd ToYmd(int32_t jd) {
  Ymd r;
  if (jd > 0) xb::YmdFromJulian(jd, &r.y, &r.m, &r.d);
  return r;
}

int DaysInMonth(int y, int m) {
  static const int k[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return k[m - 1];
}

int32_t EndOfMonth(int32_t jd) {
  if (jd <= 0) return 0;
  Ymd t = ToYmd(jd);
  return xb::JulianFromYmd(t.y, t.m, DaysInMonth(t.y, t.m));
}

int Weekday(int32_t jd) {
  // Julian day 0 was a Monday; shift so that Sunday is 1.
  return static_cast<int>((jd + 1) % 7) + 1;
}

int32_t Today() {
  LocalDateTime n = CurrentClock().Now();
  return xb::JulianFromYmd(n.year, n.month, n.day);
}

int32_t OBTENER_FECHA(int dia, int mes, int anho) {
  int last = DaysInMonth(anho, mes);
  if (last == 0 || anho < 1 || dia < 1) return 0;
  return xb::JulianFromYmd(anho, mes, dia > last ? last : dia);
}

bool DayRuleTakesMonth(int32_t inicio, int32_t hasta) {
  Ymd s = ToYmd(inicio), e = ToYmd(hasta);
  if (s.d <= e.d) return false;
  // The pairs that count as a full month: (30|31, 28|29 February), (31, 30).
  if (e.m == 2 && (e.d == 28 || e.d == 29) && s.d >= 30) return false;
  if (s.d == 31 && e.d == 30) return false;
  // And a date on the last day of its month has reached every start day the
  // month cannot hold: the 29th reaches a 28 February as the 30th does.
  return e.d != DaysInMonth(e.y, e.m);
}

int MonthsOfService(int32_t inicio, int32_t hasta) {
  if (inicio <= 0 || hasta <= 0) return 0;
  Ymd s = ToYmd(inicio), e = ToYmd(hasta);
  int months = (e.y - s.y) * 12 + (e.m - s.m);
  if (DayRuleTakesMonth(inicio, hasta)) --months;
  return months;
}

int32_t VacationCutOff(int32_t referencia) {
  if (referencia <= 0) return 0;
  Ymd t = ToYmd(referencia);
  return xb::JulianFromYmd(t.y, t.m, 1) - 1;
}

int WeekdaysInMonth(int32_t jd, int weekday) {
  if (jd <= 0 || weekday < 1 || weekday > 7) return 0;
  Ymd t = ToYmd(jd);
  int32_t first = xb::JulianFromYmd(t.y, t.m, 1);
  int n = 0;
  for (int k = 0; k < DaysInMonth(t.y, t.m); ++k)
    if (Weekday(first + k) == weekday) ++n;
  return n;
}

}  // namespace qz
