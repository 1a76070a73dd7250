// The vacation accrual rules of a vacation type (DET_VAC rows), free of any
// table: service in whole years and remaining months, days earned over the
// rows, and the days accrued in one month (GET_DIAS).
#pragma once

#include <cstdint>
#include <vector>

namespace qz {

// One DET_VAC row: from `mes` months of service on, `d_mes` days per month
// and `d_anho` days per year.
struct VacationRow {
  double mes = 0;
  double d_mes = 0;
  double d_anho = 0;
};

struct Service {
  int years = 0;      // whole years Y
  double months = 0;  // remaining months M; -1 when the day rule takes a month off 0
};

// Service from `inicio` (F_INICIO) up to the cut-off: months counted without
// the day rule split in Y and M, then M loses one month when the day rule
// (start day against the cut-off day) takes it off.
Service ServiceUpTo(int32_t inicio, int32_t corte);

// Days earned for a service over the rows of a type. A row applies from its
// MES (months of service) on: each whole year earns D_ANHO of the row in force
// when the year began, the remaining months M x D_MES of the row in force
// after the whole years (M = -1 takes one month's D_MES off). Rows may come in
// any order. No rows, or a negative total, give 0.
double DaysEarned(const std::vector<VacationRow>& rows, Service s);

// GET_DIAS: the vacation days accrued in the month of `fecha` by an employee
// who started on `inicio`: with m the months of service up to the end of that
// month (day rule included), D_MES of the row in force in the m-th month (the
// last row whose MES is at most m - 1); 0 before the first month is complete
// or before the first row applies.
double DaysAccruedInMonth(const std::vector<VacationRow>& rows, int32_t inicio, int32_t fecha);

}  // namespace qz
