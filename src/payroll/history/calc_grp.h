// Recomputing the group totals of past payrolls (CALC_GRP, window
// "CALC_GRP", "Recalculo de Totales"): the active departments of the chosen
// payroll type, marked in the tree, and a range of payroll dates. The whole
// run is one transaction: stopped half-way, the history stays as it was.
#pragma once

#include <string>

#include "payroll/processes/process_screen.h"

namespace qz {

class CALC_GRP : public ProcessScreen {
 public:
  static constexpr int kDesde = 501;
  static constexpr int kHasta = 502;
  static constexpr int kTipo = 601;
  static constexpr const char* kBadRange = "Revise el rango de fechas";

  CALC_GRP(Desktop& desktop, const std::string& template_name, const std::string& business);

  void Procesar();

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  TablePtr tip_pla_;
};

}  // namespace qz
