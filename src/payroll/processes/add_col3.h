// Adding an informative column to one past payroll (ADD_COL3, window
// "ADD_COL3"): the user picks the payroll date, clicks a department, picks
// an informative column type and its category, and types an amount per
// employee of that payroll; "Aceptar" gives the payroll the column (its
// payroll column and type copy, reused when it has them) and every payroll
// line its value row with the amount and the hourly cost computed from the
// payroll's own copies. Running it again overwrites the amounts. One
// transaction.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/browse.h"
#include "payroll/processes/process_screen.h"

namespace qz {

class ADD_COL3 : public ProcessScreen {
 public:
  static constexpr int kFecha = 501;
  static constexpr int kColumna = 601;
  static constexpr int kSalario = 301, kDeduccion = 302, kRebajo = 303;
  static constexpr int kEmpleados = 700;
  static constexpr int kMontoColumn = 2;
  static constexpr const char* kBadDate = "Revise la fecha digitada";
  static constexpr const char* kNoColumn = "Falta seleccionar la columna";
  static constexpr const char* kNoPayroll =
      "No existe una planilla para la fecha escogida\r\nRevise la fecha digitada";

  ADD_COL3(Desktop& desktop, const std::string& template_name, const std::string& business);

  // A department was clicked: the payroll's employees fill the list.
  void ItemActual(const std::string& depto);
  void Procesar();
  WBLISTBOX* grid() const { return grid_.get(); }

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  std::string Category() const;
  void Scope();
  // The payroll's column, its type copy and the lines' value rows.
  void AddColumn(const std::string& column, int32_t fecha, const std::string& category);
  void WriteLines(const std::string& column, int32_t fecha);
  // Hourly cost of `employee`'s line of the payroll.
  double HourlyCost(const std::string& employee, const std::string& schedule,
                    const std::string& tipo, const std::string& dtos);

  std::string depto_;  // padded; the department the list was loaded for
  int32_t fecha_ = 0;  // and its date
  std::unique_ptr<WBLISTBOX> grid_;
  TablePtr tmp_hper_, enc_tip_, det_tip_, f_plan_, h_e_dept_, h_d_dept_, h_e_tip_, h_d_tip_,
      h_e_pers_, h_d_pers_, h_tip_pl_, h_tiem_e_;
};

}  // namespace qz
