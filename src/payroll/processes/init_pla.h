// Opening a payroll period (INIT_PLA, window "INIT_PLA", "Iniciar Planilla"):
// the business's departments in a tree; clicking one lists its active
// employees, whose total salary and four group totals are typed in place
// (each edit holds the employee's record lock only while it is written);
// "Limpiar" sets those amounts to 0 for the whole department; "Consolidar"
// opens the department's payroll on the date typed.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/browse.h"
#include "payroll/processes/process_screen.h"

namespace qz {

class INIT_PLA : public ProcessScreen {
 public:
  static constexpr int kEmpleados = 700;
  static constexpr int kFecha = 501;
  static constexpr int kConsolidar = 1;
  static constexpr int kLimpiar = 201;
  // Grid columns (0-based): code, name, then the five amounts.
  static constexpr int kTotSalColumn = 2;
  static constexpr const char* kExists = "Ya existe una planilla para la fecha escogida";
  static constexpr const char* kBadDate = "Revise la fecha digitada";

  INIT_PLA(Desktop& desktop, const std::string& template_name, const std::string& business);

  // A department was clicked: the grid shows its active employees.
  void ItemActual(const std::string& depto);
  void Procesar();
  void Limpiar();

  WBLISTBOX* grid() const { return grid_.get(); }
  const std::string& depto() const { return depto_; }
  // The text of an employee's lock held by another user.
  static std::string LockedBy(const std::string& nombre);

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  void BuildGrid();
  // Writes the typed amount into `field` of the grid's current employee
  // under the record lock; false when it is refused.
  bool SaveAmount(const char* field, const std::string& text);

  std::string depto_;  // padded; empty until a department is clicked
  std::unique_ptr<WBLISTBOX> grid_;
  TablePtr enc_pers_;  // the grid's
  TablePtr clear_;     // ENC_PERS again, for "Limpiar" (the grid's keeps its order)
  TablePtr f_plan_, h_e_dept_;
};

}  // namespace qz
