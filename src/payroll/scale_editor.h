// The notice and severance scale editors (PREAVISO "Definición de Preaviso",
// CESANTIA "Definición de Cesantía"): a grid of ranges and days over the
// parameters screen's private copy of the scale, edited cell by cell. A
// blank row always stands at the end so a new range can be typed; "Insertar"
// puts a blank row before the current one and "Borrar" removes the current
// row. Changes stay in the copy until the parameters are accepted.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/browse.h"
#include "payroll/f_plan.h"
#include "payroll/param_window.h"

namespace qz {

class ScaleEditor : public ParamWindow {
 public:
  static constexpr int kGrid = 700, kInsertar = 300, kBorrar = 301;

  ScaleEditor(F_PLAN& parent, const std::string& template_name, ScaleCopy& scale);
  ~ScaleEditor() override;

  WBLISTBOX* grid() const { return grid_.get(); }
  void Insertar();
  void Borrar();

 protected:
  void Closed() override;

 private:
  void Build();
  bool EditCell(const char* field, const std::string& text);
  // Keeps exactly one blank row at the end.
  void EnsureBlankRow();
  void Renumber();

  ScaleCopy& scale_;
  std::unique_ptr<WBLISTBOX> grid_;
};

}  // namespace qz
