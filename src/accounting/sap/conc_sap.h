// The reconciliation of a payroll with its SAP journal (CONC_SAP,
// "Conciliación de Planilla y Asiento S.A.P"): the report of
// lib/accounting/sap_reconcile.h shown line by line, printable and
// exportable to a workbook. Opened from "Creación de Asiento S.A.P" for the
// selected department's payroll at the pay date of the cut date.
#pragma once

#include <string>

#include "lib/accounting/sap_reconcile.h"
#include "lib/ui/wdiag.h"

namespace qz {

class CONC_SAP : public WDIAG {
 public:
  static constexpr int kTitulo = 401, kList = 700, kImprimir = 201, kExcel = 202, kSalir = 2;

  CONC_SAP(Desktop& desktop, SapReconciliation r, std::string negocio_name);
  bool Init();
  void OnActivate() override;

  void Imprimir();
  // Writes the report into a workbook; its path, "" when it was not saved.
  std::string Exportar();

  const SapReconciliation& reconciliation() const { return r_; }
  const PrintDocument& document() const { return doc_; }

 private:
  SapReconciliation r_;
  std::string negocio_name_;
  PrintDocument doc_;
};

// Reconciles the payroll of `depto` (table bytes) on the pay date of `corte`
// and opens the window; tells the user when there is no such payroll.
// Returns the window (owned by the desktop), or null.
CONC_SAP* OpenSapReconciliation(WDIAG& owner, const std::string& negocio, const std::string& depto,
                                int32_t corte, const std::string& moneda);

}  // namespace qz
