// Raising a column (RECALC_C, window "RECALC_C"): every active employee of
// the marked departments that has the chosen column gets its value raised by
// the percentage typed; when the column is part of the base salary, the
// hourly-cost factors of those employees follow (the shared recalculation).
// Departments without the column are passed over. One transaction.
#pragma once

#include <optional>
#include <string>

#include "payroll/processes/process_screen.h"

namespace qz {

class RECALC_C : public ProcessScreen {
 public:
  static constexpr int kColumna = 601;
  static constexpr int kIncremento = 501;
  static constexpr const char* kNoColumn = "Falta seleccionar la columna";

  RECALC_C(Desktop& desktop, const std::string& template_name, const std::string& business);

  void Procesar();
  // The rate the "Incremento." text stands for (commas dropped, / 100);
  // nothing for a text that is no number.
  static std::optional<double> Rate(const std::string& text);

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  TablePtr enc_tip_, det_dept_, enc_pers_, det_pers_;
};

}  // namespace qz
