// Debt instalment adjustment (AJUSTE_C, window "AJUSTE_C", "Ajuste de
// Columnas"): the debt columns of the active employees of the marked
// departments take the instalments of their debt transactions
// (lib/payroll/debt_adjustment.h). A check pass first refuses, without any
// change, a transaction whose concept does not apply as its column says;
// the adjustment then runs as one transaction.
#pragma once

#include <string>

#include "payroll/processes/process_screen.h"

namespace qz {

class AJUSTE_C : public ProcessScreen {
 public:
  static constexpr int kAjustar = 1;

  AJUSTE_C(Desktop& desktop, const std::string& template_name, const std::string& business);

  void Procesar();

 protected:
  bool AbrirBases() override;
  void Configure() override;
};

}  // namespace qz
