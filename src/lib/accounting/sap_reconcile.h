// Reconciling a payroll with its SAP journal: what the payroll's value rows
// say each column paid, against what the journal books of it, by column and
// total, by account and block, and each block's debits against its credits.
// Every difference is listed; nothing is written.
#pragma once

#include <string>
#include <vector>

#include "lib/accounting/sap_lines.h"
#include "lib/accounting/sap_run.h"
#include "lib/ui/print_document.h"

namespace qz {

// One compared amount: a column or total, or an account of a block.
struct SapReconRow {
  std::string concepto;  // UTF-8: "01 Salario Base", "* T. Ingresos ", the account's lines
  std::string bloque, cuenta;
  double planilla = 0, asiento = 0;
  double Diferencia() const { return planilla - asiento; }
};

struct SapReconciliation {
  SapPayrollKey key;
  std::string descrip;  // the department (UTF-8)
  int lines = 0;        // payroll lines
  std::vector<SapReconRow> columns;   // mapped columns and totals
  std::vector<SapReconRow> accounts;  // by block and account (balancing lines apart)
  std::vector<SapBlockTotal> blocks;
  std::vector<SapLine> journal;
  std::vector<std::string> differences;  // UTF-8, one per difference
  bool Reconciles() const { return differences.empty(); }
};

// Amounts within half a cent are equal.
bool SapSameAmount(double a, double b);

// Loads the business's mapping and reconciles the payroll. NotFound when
// the payroll does not exist; a business without a mapping is a difference.
xb::Result<SapReconciliation> ReconcileSapPayroll(const SapPayrollKey& k);
// The same with a mapping given. The journal books the payroll as paid;
// `journal_rules` computes its columns again by the journal's own rules
// instead, to see where those rules and the payroll's part ways.
xb::Result<SapReconciliation> ReconcileSapPayroll(const SapPayrollKey& k,
                                                  const std::vector<SapMapRow>& mapping,
                                                  bool journal_rules = false);

// The printed reconciliation (also the workbook's content).
PrintDocument SapReconciliationDocument(const SapReconciliation& r, const std::string& negocio_name);

}  // namespace qz
