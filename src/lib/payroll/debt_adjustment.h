// The current instalment of the debt columns (column types of kind 1 linked
// to debts, DEUDA = 1) of active employees, set from their debt transactions
// in the debtor module (DEUDORES, ENC_DDA): a check that every transaction's
// concept applies the way the column's deduction concept says, then the
// adjustment itself. Running it twice gives the same values: each column is
// set, not added to.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lib/payroll/definitions.h"
#include "xbase/status.h"

namespace qz {

struct DebtAdjustmentRequest {
  std::string negocio;
  std::vector<std::string> deptos;  // department codes
  int32_t hoy = 0;                  // the adjustment date written to F_AJUSTE
  std::function<void(const std::string& text)> on_employee;  // "code  name"
};

// One debt transaction as the sum reads it.
struct DebtTransaction {
  std::string codigo;
  int concept_type = -1;  // CONCEPTT TIPO of its concept; -1 when the concept is missing
  int activa = 0;
  double saldo = 0, cuota = 0;
  double tasa = 1;  // from the transaction's currency into the department's
};

// The instalment charged for a column: over the transactions whose concept
// type is `aplica`, a balance transaction (type 0, active, balance not 0)
// charges its instalment, or only the balance (times the divisor, the column
// being per month) when one payroll's share of the instalment exceeds it; a
// recurring one (type 1, active) its instalment. Rounded to cents.
double DebtInstalment(const std::vector<DebtTransaction>& ts, int aplica, double divisor);

// The first transaction of an active employee of the departments, in a debt
// column, whose concept does not apply as the column's deduction concept
// says (the concept's TIPO against the APLICA of the column's C_DEUDA in
// CONCEPTD; a missing concept never matches): its code as stored. Nothing
// when every one agrees. Reads only.
xb::Result<std::optional<std::string>> FirstMisappliedTransaction(const DebtAdjustmentRequest& r);

// What the user is told about that transaction (its code as stored, UTF-8).
std::string MisappliedTransactionText(const std::string& codigo);

struct DebtAdjustmentDone {
  int employees = 0;  // active employees visited
  int columns = 0;    // debt columns set
  int changed = 0;    // of which changed value
};

// Sets F_AJUSTE of each department and VALOR_1 of each debt column of its
// active employees, every row under its lock (inside the caller's
// transaction when one is open). Inactive employees are left as they are.
xb::Result<DebtAdjustmentDone> AdjustDebtInstalments(const DebtAdjustmentRequest& r);

}  // namespace qz
