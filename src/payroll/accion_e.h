// Simple personnel-action types (ACCION_E, window "ACCION_E", table
// TIP_ACC): what an action of the type changes, the serial that numbers the
// actions and the stage they start in, edited in E_TIPACC ("MODIACCION_E").
// A changed code is carried into the actions of the type (ACCIONES).
#pragma once

#include <memory>
#include <string>

#include "payroll/record_editor.h"

namespace qz {

class E_TIPACC : public RecordEditor {
 public:
  static constexpr int kFirstFlag = 502;  // IMP_SAL .. PENDIENTE, in kFlags order
  static constexpr int kSerial = 601, kEtapa = 602;
  static constexpr const char* kFlags[] = {"IMP_SAL", "PUESTO",    "DEPTO", "SALARIO",
                                           "HORARIO", "SUSTITUYE", "UBICA", "PENDIENTE"};
  static constexpr const char* kDefaultStage = "Etapa por Defecto";
  // The default entry's cargo: five characters, never a stage code (four).
  static constexpr const char* kDefaultStageCargo = "*DEF*";
  static constexpr const char* kNoStage =
      "Debe selecccionar una etapa\r\nSino tiene claro la etapa seleccione Etapa por Defecto";
  E_TIPACC(CatalogScreen& parent, int mode) : RecordEditor(parent, "MODIACCION_E", mode) {}

 protected:
  void BuildControls() override;
  void Fill() override;
  void LoadRow(const xb::Table& t) override;
  bool Validate(const std::string& code) override;
  void WriteFields(xb::Table& t) override;

 private:
  std::unique_ptr<CCOMBOBOX> oSerial_, oEtapa_;
};

class ACCION_E : public EditedCatalog<E_TIPACC> {
 public:
  static constexpr int kMenuId = 2693;
  ACCION_E(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
};

}  // namespace qz
