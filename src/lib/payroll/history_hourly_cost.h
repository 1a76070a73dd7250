// The average hourly cost of past payroll lines ("Recalculo de Costo por
// Hora Promedio Histórico", `qzadmin recalc --kind hourly-cost`).
//
// For each payroll line in range, COST_HPROM = the line's average income ÷
// VAL_DIV of its payroll's type copy (H_TIP_PL) ÷ FACTOR of its schedule
// copy (H_TIEM_E), and 0 when a copy is missing or a divisor is 0.
//
// The average income of a line dated D walks the employee's lines from D
// towards older ones (H_E_PERS7), stopping before the first line dated
// before the employee's start (F_INICIO). Each line adds its TOT_SAL, turned
// from that line's payroll currency into the currency of the payroll being
// recomputed at the older payroll's date, and 1 ÷ N_EMISION of its payroll
// type (rounded to cents; 1 when N_EMISION is 0) to the periods counted: a
// weekly line counts 0.25. The walk stops once the periods reach SAL_PROM
// of the payroll parameters. Sum ÷ periods is an income per month; the
// average is that income over one period of the line's own payroll (× its
// period share: a quarter of it for a weekly line), since VAL_DIV divides a
// period's income. With no period counted, the line's own TOT_SAL.
//
// The whole run is one transaction (history_recalc.h); a line whose cost
// does not change is not written.
#pragma once

#include <cstdint>

#include "lib/payroll/history_recalc.h"

namespace qz {

inline constexpr const char* kHourlyCostQuestion =
    "¿Desea recalcular el costo por hora promedio por Empleado?";

// The share of a pay period one line stands for: 1 ÷ N_EMISION rounded to
// cents, 1 when N_EMISION is 0.
double PeriodShare(double n_emision);

// REQUIRES: the data layer is started and no transaction is open.
HistoryRecalcResult RecalcAverageHourlyCost(const HistoryRecalcRequest& request);

}  // namespace qz
