// Adding a column to departments (ADD_COL4, window "ADD_COL4"): the chosen
// column type joins the definition of every marked department that lacks it
// (DET_DEPT, after the department's last column, with the accounting link
// chosen), and every employee of those departments, active or not, gets its
// value row (DET_PERS); a column whose factor follows the hourly cost gets
// that factor at once. One transaction.
#pragma once

#include <string>

#include "payroll/processes/process_screen.h"

namespace qz {

class ADD_COL4 : public ProcessScreen {
 public:
  static constexpr int kColumna = 601;
  static constexpr int kLiga = 602;
  static constexpr int kSalario = 301, kDeduccion = 302, kRebajo = 303;
  static constexpr const char* kNoColumn = "Falta seleccionar la liga columna  ";
  static constexpr const char* kNoItems = "Falta seleccionar item(s) para procesar ";
  // The column type chosen was deleted by another workstation after the list
  // was filled: the departments would list a column nothing defines.
  static constexpr const char* kColumnGone =
      "La columna escogida ya no existe; escoja otra de la lista";

  ADD_COL4(Desktop& desktop, const std::string& template_name, const std::string& business);

  void Procesar();

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  std::string Category() const;  // "01", "02" or "03" from the radios
  void FillColumns();
  // Adds the column to `depto`; the employees given a value row go into `employees`.
  void AddToDepartment(const std::string& depto, const std::string& column,
                       const std::string& category, const std::string& liga,
                       std::vector<std::string>& employees, Progress& progress);

  TablePtr enc_tip_, ligas_, det_dept_, conj_col_, enc_pers_, det_pers_;
};

}  // namespace qz
