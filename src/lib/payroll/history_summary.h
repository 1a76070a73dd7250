// The per-employee summary of column results of past payrolls ("Recalculo
// de Resumen de Columnas Históricas", `qzadmin recalc --kind history`).
//
// For each payroll line the summary is six rows keyed business + employee +
// payroll date: H_D_PER4 names the columns in its slots COL_1 .. COL_130,
// and slot n of H_D_PER5 .. H_D_PER9 (RESUL1_n .. RESUL5_n) holds RESULT1 ..
// RESULT5 of the employee's value row (H_D_PERS) for the column named in
// slot n. Columns go in payroll order (H_D_DEPT5), each once, as far as the
// employee has a value row for it; at most 130 are summarised.
//
// A line whose employee already has a summary row for that date is left as
// it is, so running the rebuild twice adds nothing. The whole run is one
// transaction (history_recalc.h), and H_D_PER4 stays file-locked to its
// end, so two workstations rebuilding at once cannot both write one line's
// summary: the second waits, then finds the first one's rows.
#pragma once

#include "lib/payroll/history_recalc.h"

namespace qz {

inline constexpr int kSummarySlots = 130;

// The question asked before the rebuild ("Advertencia", OK/Cancel).
inline constexpr const char* kRebuildSummaryQuestion =
    "¿Desea reconstruir el resumen historico de columnas?";

// REQUIRES: the data layer is started and no transaction is open.
HistoryRecalcResult RebuildColumnSummary(const HistoryRecalcRequest& request);

}  // namespace qz
