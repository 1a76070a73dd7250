// The year-end bonus reduction (AJUST_AG, window "AJUST_AG", "Ajuste
// Negativo para Aguinaldo"): clicking a department lists its active
// employees with the amount their bonus is to be reduced by (ENC_PERS
// AJUSTE_AG, "Monto a Restar"), typed in place under the employee's record
// lock; "Limpiar" sets it to 0 for the whole department in one transaction.
// The bonus itself is computed by another program of the suite.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/browse.h"
#include "payroll/processes/process_screen.h"

namespace qz {

class AJUST_AG : public ProcessScreen {
 public:
  static constexpr int kEmpleados = 700;
  static constexpr int kLimpiar = 201;
  static constexpr int kMontoColumn = 2;  // grid column (0-based) of "Monto a Restar"
  static constexpr const char* kPicture = "9999,999,999.99";

  AJUST_AG(Desktop& desktop, const std::string& template_name, const std::string& business);

  // A department was clicked: the grid shows its active employees.
  void ItemActual(const std::string& depto);
  void Limpiar();

  WBLISTBOX* grid() const { return grid_.get(); }
  const std::string& depto() const { return depto_; }

 protected:
  bool AbrirBases() override;
  void MakeGrids() override;
  void Configure() override;

 private:
  std::string depto_;  // padded; empty until a department is clicked
  std::unique_ptr<WBLISTBOX> grid_;
  TablePtr enc_pers_;  // the grid's
  TablePtr clear_;     // ENC_PERS again, for "Limpiar" (the grid's keeps its order)
};

}  // namespace qz
