// The sales box's report window (V_CIERRE) and its two reports: the
// shift's closing report ("CIERRE DE CAJA", box and period fixed by the
// shift, run as the preliminary report, naming the cashier the caller
// gives) and the restaurant's sales report ("REPORTE DE VENTAS
// RESTAURANTE"), for one box or "Todas las Cajas" of the business over a
// period the user types.
#pragma once

#include <string>

#include "cash/box_state.h"
#include "cash/closing_report.h"

namespace qz {

class Desktop;
class WDIAG;

// The closing report of the sales box's shift; `cashier` (a DIGITA code) is
// the one printed, the shift's own when blank.
void RunSalesClosingReport(Desktop& desktop, WDIAG* owner, const std::string& business,
                           const BoxHeader& box, const Shift& shift, const std::string& cashier);

// The restaurant's sales report window: `box` preselected (blank: every
// box), the period today from 00:00:00 to 23:59:59 until the user changes it.
void RunRestaurantSalesReport(Desktop& desktop, WDIAG* owner, const std::string& business,
                              const std::string& box);

// The restaurant's sales report's document: the documents of `box` (every
// box of the business when blank) in the period, with the listing of the
// sales closing report.
PrintDocument RestaurantSalesReport(const std::string& business, const std::string& box,
                                    const ReportPeriod& period);

}  // namespace qz
