// Adding department columns to past payrolls (ADD_COL, window "ADD_COL"):
// the user picks a date range, clicks a department and selects some of its
// columns; each payroll of that department in the range gets every selected
// column it does not have yet: the payroll column (H_D_DEPT), a copy of its
// column type and brackets (H_E_TIP, H_D_TIP, marked informative), an empty
// value row per payroll line (H_D_PERS) and, for a column with a daily grid,
// an empty grid row (H_D_PER2). The whole run is one transaction; the
// header row of each payroll it visits (H_E_DEPT) stays locked until it
// ends, so two workstations adding the same column at once add it once.
#pragma once

#include <string>
#include <vector>

#include "payroll/processes/process_screen.h"

namespace qz {

class ADD_COL : public ProcessScreen {
 public:
  static constexpr int kDesde = 501;
  static constexpr int kHasta = 502;
  static constexpr int kColumnas = 700;
  static constexpr const char* kNoColumns = "Falta seleccionar las columnas a agregar";
  static constexpr const char* kBadRange = "Revise el rango de fechas";

  ADD_COL(Desktop& desktop, const std::string& template_name, const std::string& business);

  // A department was clicked: its columns whose type exists fill the list.
  void ItemActual(const std::string& depto);
  void Procesar();

  // The message for a payroll that already has a column.
  static std::string AlreadyHas(const std::string& descrip, int32_t fecha);
  // The message for a listed column another workstation took out of the
  // department (or whose department it deleted) after the list was filled.
  static std::string NoLongerInDepartment(const std::string& column);

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  // Adds `column` to the payroll of `depto` on `fecha` (its lines read
  // from H_E_PERS4).
  void AddToPayroll(const std::string& depto, int32_t fecha, const std::string& column);

  TablePtr det_dept_, enc_tip_, det_tip_, h_e_dept_, h_d_dept_, h_e_tip_, h_d_tip_, h_e_pers_,
      h_d_pers_, h_d_per2_;
};

}  // namespace qz
