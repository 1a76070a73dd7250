// The journal lines a mapping makes of a computation, in block and order
// sequence (the order of TMP_PL13's tag TMP_1: BLOQUE + STR(ORDEN,4), rows
// of equal key in the order they were made), with each block's balancing
// line ("_6") filled in and the blocks' totals.
#pragma once

#include <vector>

#include "lib/accounting/sap_mapping.h"
#include "lib/accounting/sap_model.h"

namespace qz {

// The lines of every mapping row, each of its department rows (level
// "Departamento"), employee rows ("Detallado") or one line for all
// ("Gran Total"); an amount of 0 makes no line, except the balancing line.
std::vector<SapLine> BuildSapLines(const std::vector<SapMapRow>& mapping,
                                   const SapComputation& c);

// Sorts the lines into block and order sequence and gives each balancing
// line the difference of its block: the credit when the debits exceed the
// credits, the debit otherwise. A block with more than one balancing line
// balances on the first; the others stay at 0.
void BalanceSapLines(std::vector<SapLine>* lines);

// The totals of each block, in block order, balancing lines included.
std::vector<SapBlockTotal> SapBlockTotals(const std::vector<SapLine>& lines);

// The key TMP_PL13 orders its lines by.
std::string SapLineKey(const SapLine& l);

}  // namespace qz
