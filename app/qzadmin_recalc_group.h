// qzadmin recalc kinds over the payroll lines and the debt columns: the
// group totals of past payrolls ("Recalculo de Totales Históricos") and the
// debt-instalment adjustment ("Ajuste de Transacciones").
#pragma once

#include "qzadmin_recalc.h"

namespace qzadmin {

// --kind group-totals [--from YYYYMMDD] [--to YYYYMMDD] [--department D]...
// [--type T]: without --department, every active department (of payroll
// type T). An end of the range not given is open.
int GroupTotals(const RecalcOptions& o);
// --kind transactions [--department D]...: without --department, every
// active department.
int Transactions(const RecalcOptions& o);

}  // namespace qzadmin
