// "Creación de Asiento S.A.P" (CREA_SAP, window "Creación de Asiento"): the
// current payroll of the marked departments at the cut date, turned into
// journal lines through the business's mapping and printed block by block
// (lib/accounting). The lines and totals stay in the screen's work tables
// until the next run. "Conciliar" compares the payroll of the selected
// department at the cut date with its journal (CONC_SAP).
#pragma once

#include <string>
#include <vector>

#include "lib/accounting/sap_model.h"
#include "lib/ui/print_document.h"
#include "payroll/processes/process_screen.h"

namespace qz {

class CREA_SAP : public ProcessScreen {
 public:
  static constexpr int kMenuId = 4210;
  static constexpr int kFecha = 501, kReferencia = 502, kMoneda = 601, kConciliar = 203;
  static constexpr const char* kNoCurrency = "Falta seleccionar el tipo de moneda";
  static constexpr const char* kNoDate = "Falta la fecha de emisión de la planilla actual";
  static constexpr const char* kNoMapping =
      "No existen definiciones para el asiento S.A.P de este negocio";

  CREA_SAP(Desktop& desktop, const std::string& template_name, const std::string& business);

  // "Aceptar": checks, computes, writes the work tables and prints. False
  // when it stopped before printing (a check, a problem, a cancelled
  // printer dialog).
  bool Procesar();
  void Conciliar();

  // The last run's lines (also in the work table TMP_PL13) and document.
  const std::vector<SapLine>& lines() const { return lines_; }
  const PrintDocument& document() const { return document_; }
  WDBTable* work_table(const std::string& name) const;

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  TablePtr monedas_, tmp_pla4_, tmp_pla5_, tmp_pl11_, tmp_pl12_, tmp_pl13_;
  std::vector<SapLine> lines_;
  PrintDocument document_;
};

}  // namespace qz
