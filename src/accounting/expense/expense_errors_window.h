// The error window of the expense distribution ("V_ERROR_2"): every problem
// the validation collected, one per line, in a scrollable box the user
// reads before correcting the definitions.
#pragma once

#include <vector>

#include "lib/accounting/expense_distribution.h"

namespace qz {

class WDIAG;

void ShowExpenseErrors(WDIAG& owner, const std::vector<ExpenseError>& errors);

}  // namespace qz
