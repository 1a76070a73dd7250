// The payroll parameters of a business (F_PLAN, template "F_PLANILLA",
// title "Parámetros Generales"): one F_PLAN row, one F_PLAN7 row and the
// notice (F_PLAN2) and severance (F_PLAN3) scales. The window and its
// sub-windows edit copies; "Aceptar" writes them in one transaction, asks
// before rewriting the employees' names in a new format, and recomputes the
// employees' hourly-cost factors when the cost rounding changed.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/ui/wdiag.h"
#include "payroll/field_binding.h"

namespace qz {

// A scale being edited: the private copy of the business's F_PLAN2 or
// F_PLAN3 rows (TMP_AVS; POS = the source record, 0 for a new row) and the
// source records removed in the editor.
struct ScaleCopy {
  std::string source;  // "F_PLAN2" or "F_PLAN3"
  TablePtr rows;
  std::vector<uint32_t> removed;
};

class F_PLAN : public WDIAG {
 public:
  static constexpr int kMenuId = 2500;
  // Control ids of "F_PLANILLA".
  static constexpr int kNombre1 = 101, kNombre2 = 102;
  static constexpr int kProvTot = 110, kNomProvTot = 111, kProvInd = 112, kProvEle = 113,
                       kNomProvEle = 114;
  static constexpr int kMensual = 120, kAdicional = 121, kLigAjuste = 122, kColPopu = 123,
                       kColSeguro = 124;
  static constexpr int kDecCosto = 155, kRedCosto = 153, kDecCost5 = 154;
  static constexpr int kSetOpcion = 171;
  static constexpr int kMapSap = 182;
  // Buttons.
  static constexpr int kPreaviso = 205, kConstancia = 206, kCesantia = 207, kPatrono = 210,
                       kLiquidacion = 211, kEmpleados = 212, kAcciones = 213, kAguinaldo = 216;

  static constexpr const char* kNameQuestion =
      "Desea Cambiar el formato de los nombre de los empleado?";
  static constexpr const char* kRecalcText = "Recalculando Empleados......";

  F_PLAN(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~F_PLAN() override;

  bool Init();
  void Terminar(int result = 1) { ENDDIALOG(result); }
  bool AbrirBases();
  void CerrarBases();
  // "Aceptar": writes everything; the window closes when it succeeded.
  void Aceptar();
  // Opens the sub-window of a button (by button id).
  void OpenSubWindow(int button);
  // The sub-window templates by name (the screenshot tool asks for them).
  bool DoOperation(const std::string& name) override;

  const std::string& Negocio() const { return negocio_; }
  const RecordCopy& copy() const { return copy_; }
  RecordCopy& copy() { return copy_; }
  ScaleCopy& notice() { return notice_; }
  ScaleCopy& severance() { return severance_; }

 private:
  bool Open();
  void LoadCopies();
  void CopyScale(ScaleCopy& scale);
  void FillMain();
  void ShowColSeguro();
  void SupplierChosen(int combo, int name_field);
  bool TakeMain();
  // Save steps (f_plan_save.cc).
  bool Save(bool rewrite_names);
  void WriteNames();
  void WriteScale(ScaleCopy& scale);

  std::string negocio_;
  TablePtr f_plan_, f_plan7_;
  RecordCopy copy_;    // F_PLAN and F_PLAN7 fields (their names do not overlap)
  RecordCopy loaded_;  // as read when the window opened
  bool has_plan_ = false;
  // Suppliers offered: their name, and whether the payee name is typed.
  std::map<std::string, std::pair<std::string, bool>> suppliers_;
  ScaleCopy notice_{"F_PLAN2", nullptr, {}};
  ScaleCopy severance_{"F_PLAN3", nullptr, {}};
};

// The fields the screen and its sub-windows edit (f_plan_fields.cc).
const Bindings& MainBindings();
const Bindings& SubWindowBindings(const std::string& template_name);
// F_PLAN fields written on "Aceptar", and F_PLAN7's.
const std::set<std::string>& PlanFields();
const std::set<std::string>& Plan7Fields();
// The payment-default fields cleared when per-employee options are off.
const std::vector<std::string>& PaymentDefaultFields();

}  // namespace qz
