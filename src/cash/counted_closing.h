// The hotel's counted closing (HCAJAS4) and intermediate cash count
// (HCAJAS5, "arqueo"): three grids per currency — counted (typed), expected
// and the difference — and the posting of the count with its shortage and
// overage adjustments (count_posting.h).
#pragma once

#include <string>

#include "cash/box_state.h"

namespace qz {

class Desktop;
class WDIAG;

// The counted closing of a hotel box whose TIP_CIERRE is not 0; true when
// the box was closed (counted, or with the expected amounts when the user
// declined the count).
bool HCAJAS4(Desktop& desktop, WDIAG* owner, CashBoxes& boxes, const std::string& business,
             const BoxHeader& box, const Shift& shift);

// An intermediate count of the box held here; the box stays open.
void HCAJAS5(Desktop& desktop, WDIAG* owner, CashBoxes& boxes, const std::string& business,
             const std::string& box, const Shift& shift);

}  // namespace qz
