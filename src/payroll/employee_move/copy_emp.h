// Moving employees between businesses (COPY_EMP, "Traslado de empleados
// entre Negocios"): the business's active departments in a tree (clicking
// the top shows the whole business), its employees filtered by their active
// mark, marked one by one in the list's first column; the target business,
// department and code prefix below. "Trasladar" proposes the column mapping
// (B_COLS) and moves the marked employees with everything they own in one
// transaction (MoveEmployees, lib/payroll/employee_move.h).
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "lib/ui/browse.h"
#include "payroll/processes/process_screen.h"

namespace qz {

class COPY_EMP : public ProcessScreen {
 public:
  static constexpr int kTrasladar = 1;
  static constexpr int kEmpleados = 700;
  static constexpr int kPrefijo = 501;
  static constexpr int kNegocio = 601;
  static constexpr int kDepto = 602;
  static constexpr int kPorCodigo = 301;
  static constexpr int kPorDescripcion = 302;
  static constexpr int kTodos = 311;
  static constexpr int kActivos = 312;
  static constexpr int kInactivos = 313;
  static constexpr int kMarkColumn = 0;
  static constexpr const char* kNoEmployees = "No hay empleados marcados para trasladar";
  static constexpr const char* kNoBusiness = "Falta seleccionar el negocio destino";
  static constexpr const char* kNoDepartment = "Falta seleccionar el departamento destino";

  COPY_EMP(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~COPY_EMP() override;

  // The employee list follows the clicked department ("" = the business)
  // and the filter.
  void Scope();
  // Marks or unmarks the employee (code as stored or typed).
  void Mark(const std::string& code, bool on = true);
  bool Marked(const std::string& code) const;
  void Trasladar();

  WBLISTBOX* grid() const { return grid_.get(); }
  const std::string& depto() const { return depto_; }

 protected:
  bool AbrirBases() override;
  void MakeGrids() override;
  void Configure() override;

 private:
  void BuildTree();
  void BuildGrid();
  void FillDepartments();  // the target business's, into "Depto :"
  std::string Chosen(int combo) const;
  void ToggleSelected();

  std::string depto_;                // padded; "" = the whole business
  std::set<std::string> marked_;     // employee codes as stored
  std::map<std::string, std::string> dept_names_;  // code -> description (UTF-8)
  std::unique_ptr<WBLISTBOX> grid_;
  TablePtr enc_pers_, negocios_, f_plan_, depts_;
};

}  // namespace qz
