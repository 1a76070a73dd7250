// The batch posting of a sales box at its closing: every document of the
// box still marked for processing (DOCUMENT NO_PROCESA 1) goes to the
// accounting as journal entries of type "02" (one per document date;
// consecutive documents of one date share their entry) and, when the
// business keeps inventory from its sales, to consumption documents of the
// recipe components; then it is marked processed (an annulled one,
// ANULADO 1, is only marked processed). The closing of the box
// and the posting are one atomic transaction: a lock that gives up, a
// problem found under the locks or a process killed midway leave the box
// open and every document as it was, so the next closing posts each
// document exactly once.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "cash/box_state.h"
#include "cash/deposits/journal.h"
#include "cash/sales/sales_documents.h"

namespace qz {

// The journal type of the sales entries.
inline constexpr const char* kSalesJournal = "02";
// The type of the inventory documents the sales consume with.
inline constexpr const char* kSalesConsumption = "CV";

// One inventory consumption document: (warehouse, article) -> quantity.
struct Consumption {
  std::string documento;  // the sales document; blank for a whole run
  int32_t fecha = 0;
  std::map<std::pair<std::string, std::string>, double> quantities;
};

// What a run writes, computed before anything is written.
struct SalesPostingPlan {
  std::vector<LedgerEntry> entries;
  std::vector<Consumption> consumption;
  std::string problem;  // what stops the posting (a missing account, rate...); "" none
};

SalesPostingPlan PlanSalesPosting(void* owner, const std::string& business,
                                  const std::string& box, const SalesSettings& settings,
                                  const std::vector<SalesDocument>& docs);

// What would stop the posting of the box's pending sales now, without
// writing anything; "" when nothing would.
std::string SalesPostingProblem(const std::string& business, const std::string& box);

struct SalesClosing {
  BoxChange box = BoxChange::kDone;  // the closing of the box's records
  std::string problem;  // not empty: the posting was refused, nothing was written
  int documents = 0;                   // documents posted
  std::vector<std::string> entries;    // journal numbers
  std::vector<std::string> inventory;  // consumption document numbers
};

// Called after each journal entry and each consumption document written.
using SalesPostingStep = std::function<void()>;

// Closes the sales box's open shift and, when `post` (the window's check
// box) and the business posts at closing (F_VENTAS NO_LINEA 1), posts the
// box's pending sales, all in one atomic transaction. A fault midway (a
// lock that gave up) rolls everything back and goes on to the caller.
SalesClosing CloseSalesBox(const std::string& business, const std::string& box, bool post,
                           const SalesPostingStep& step = nullptr);

}  // namespace qz
