// The printed SAP journal entry ("Asiento Contable S.A.P"): the lines block
// by block on a 160-column landscape page, each block closed by its totals
// and a page end; a balancing line shows its block's difference.
#pragma once

#include <string>
#include <vector>

#include "lib/accounting/sap_model.h"
#include "lib/ui/print_document.h"

namespace qz {

// `lines` in block and order sequence, balancing lines filled in
// (BalanceSapLines); `referencia` is the "Referencia:" text (UTF-8).
PrintDocument SapJournalDocument(const std::vector<SapLine>& lines, const std::string& referencia);

// An amount with the picture "999,999,999.99".
std::string SapAmountText(double amount);

}  // namespace qz
