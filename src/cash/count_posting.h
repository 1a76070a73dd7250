// The counts of a hotel box: the amount expected per currency for a shift,
// and the posting of what was counted, with the shortage and overage
// adjustments written to the box's adjustment folio. A posting is one
// transaction: the counted amounts, the adjustment lines (and, for the
// counted closing, the box's closing) are all written or none is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cash/box_state.h"
#include "cash/folio_lines.h"  // NextConsecutive

namespace qz {

struct CountRow {
  std::string currency;  // MONEDAS code (table bytes)
  std::string symbol;    // UTF-8
  std::string descrip;   // UTF-8
  double counted = 0;
  double expected = 0;
  double difference() const { return counted - expected; }
};

// One row per currency of the business (MONEDAS order), with the amount the
// box should hold: the amounts counted when its previous shift closed, plus
// the money its folio lines took since the shift opened (codes asking for a
// box, not card payments, adjustments left out) in the tendered currency.
std::vector<CountRow> ExpectedAmounts(const std::string& business, const std::string& box,
                                      const Shift& shift);

enum class CountKind {
  kClosing,           // the counted closing (DET_HCA2), the box closes
  kClosingUncounted,  // the count was declined: expected taken as counted, no adjustment
  kIntermediate,      // an "arqueo" (DET_HCA3 + DET_HCA4), the box stays open
};

struct CountPeriod {  // the counted period of an intermediate count
  int32_t from_date = 0;
  std::string from_time;
  int32_t to_date = 0;
  std::string to_time;
};

// Checks what a posting needs before anything is written (the folio serial,
// a rate for every currency to adjust); the message to show, or "" when the
// posting can go ahead.
std::string CountPostingProblem(const std::string& business, const std::vector<CountRow>& rows,
                                CountKind kind, const std::string& box, const Shift& shift);

// Writes the count. The closing kinds also close the box's header and shift
// (kClosingUncounted leaves CTRL_USR as it was). A box another workstation
// closed meanwhile answers its BoxChange and nothing is written.
BoxChange PostCount(const std::string& business, const std::string& box, const Shift& shift,
                    const std::vector<CountRow>& rows, CountKind kind,
                    const CountPeriod& period = {});

}  // namespace qz
