// The edit window of a customised personnel-action type (MOD_ACCI, window
// "MOD_ACCI"): its serial and initial stage, which employee fields an action
// of the type may change, up to three salary columns it changes (and how),
// and the auxiliary options kept in CHECKS.
#pragma once

#include <memory>
#include <string>

#include "payroll/record_editor.h"

namespace qz {

class MOD_ACCI : public RecordEditor {
 public:
  static constexpr int kSerial = 601, kEtapa = 602;
  static constexpr int kImpSal = 502, kIngNuevo = 503, kIncConti = 504;
  static constexpr int kFirstField = 510;  // one check box per kFieldFlags entry
  // The employee fields an action may change, in the order of their boxes.
  static constexpr const char* kFieldFlags[] = {
      "TELEFONO1",  "TELEFONO2",  "EMAIL",      "CEDULA",   "TIP_IDEN",  "DIRECCION",  "SEXO",
      "E_CIVIL",    "NACIMIENTO", "GAFETE",     "TIPO_VAC", "PERFIL",    "ASOCIACION", "NOMBRE",
      "APELLIDO1",  "APELLIDO2",  "PUESTO",     "TIP_EMP",  "OCUPACION", "UBICACION",  "INS_COND",
      "INS_JOR",    "HORARIO",    "DEPTO",      "TIEMPO",   "F_INGRESO", "ESTADO_EMP", "F_INICIO",
      "OTROS_DEPA", "F_RETIRO",   "VACACIONES", "SIN_GOCE", "CON_GOCE",  "FORMA_PAG",  "TRANS_BANC",
      "CUEN_TRANS", "TIP_CUENTA", "DIG_VERIF",  "SUCURSAL", "C_SEGURO",  "TIP_CED",    "COD_SEGURO",
      "SEGURO_PAT", "OBSERVA",    "COMENTARIO"};
  static constexpr int kFieldCount = sizeof(kFieldFlags) / sizeof(kFieldFlags[0]);
  // The three salary columns ("Valor #1" .. "#3"): check box, column
  // drop-down and the radios "Reemplazar", "Sumar", "Restar" (0, 1, 2), each
  // block kColumnStep ids after the one before.
  static constexpr int kColumna = 560, kColumnaCombo = 561, kFirstSuma = 562, kColumnStep = 10;
  static constexpr int kColumns = 3;
  // The auxiliary check boxes, one character of CHECKS each.
  static constexpr int kFirstCheck = 1131, kChecks = 86;
  static constexpr int kFormato = 105;  // "Formato Impresión"

  MOD_ACCI(CatalogScreen& parent, int mode) : RecordEditor(parent, "MOD_ACCI", mode) {}
  void PROCESAR() override;

  // The field names of column block `n` (0 .. 2): COLUMNA, COD_COLUM, SUMA_COL
  // with the block's suffix.
  static std::string ColumnField(const char* base, int n);
  // "Valor #n" needs a column once its box is checked.
  static std::string NoColumnMessage(int n);

 protected:
  void BuildControls() override;
  void Fill() override;
  void LoadRow(const xb::Table& t) override;
  void LoadDefaults() override;
  bool Validate(const std::string& code) override;
  void WriteFields(xb::Table& t) override;

 private:
  // A column box enables its drop-down and radios; unchecked, they are
  // cleared.
  void ColumnChecked(int n);
  void ShowPrintFormat();
  std::unique_ptr<CCOMBOBOX> oSerial_, oEtapa_, oColumna_[kColumns];
};

}  // namespace qz
