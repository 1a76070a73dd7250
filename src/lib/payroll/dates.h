// Calendar helpers of the payroll: dates are Julian day numbers as the engine
// stores them (0 is the empty date).
#pragma once

#include <cstdint>

namespace qz {

struct Ymd {
  int y = 0, m = 0, d = 0;
};

Ymd ToYmd(int32_t jd);
int DaysInMonth(int y, int m);
// Julian day of the last day of the month of `jd` (0 for the empty date).
int32_t EndOfMonth(int32_t jd);
// Weekday of `jd` with 1 = Sunday .. 7 = Saturday, as DIA_PAGO and
// DIAS_EN_LETRAS count them.
int Weekday(int32_t jd);

// Today's date from the process clock (tests install a fake one).
int32_t Today();

// OBTENER_FECHA: the date with that day, month and year; a day the month does
// not have (31 in a 30-day month, 29..31 in February) gives its last day.
// An impossible month or year gives the empty date.
int32_t OBTENER_FECHA(int dia, int mes, int anho);

// Whether the day rule of the months of service takes one month off: the start
// day is after the day of `hasta`, except for the pairs that count as a full
// month ((30|31, 28|29 February) and (31, 30)) and a `hasta` on the last day
// of its month (a start on the 29th reaches a 28 February).
bool DayRuleTakesMonth(int32_t inicio, int32_t hasta);

// Months of service from `inicio` (F_INICIO) up to `hasta`, with the day rule.
int MonthsOfService(int32_t inicio, int32_t hasta);

// The cut-off of the vacation computation: the last day of the month before
// the reference date (31 December of the previous year in January).
int32_t VacationCutOff(int32_t referencia);

// Number of days of the month of `jd` that fall on `weekday` (1 = Sunday).
int WeekdaysInMonth(int32_t jd, int weekday);

}  // namespace qz
