// The payroll-type edit window (E_TIPPLA, template "E_TIPPLA", title
// "Edición de Tipos de Planillas"). Saving runs in one transaction: the row,
// the departments carried to a changed code, and — when the dividing factor
// changed and the user agrees — the hourly-cost factors of the employees of
// the departments of this type. While it is open the list is disabled.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/catalog.h"
#include "lib/ui/lists.h"
#include "lib/ui/wdiag.h"
#include "payroll/field_binding.h"

namespace qz {

class E_TIPPLA : public WDIAG {
 public:
  // Control ids of "E_TIPPLA".
  static constexpr int kCodigo = 500, kDescrip = 501, kRotulo = 502;
  static constexpr int kPorPlanillas = 510, kPorDias = 511;
  static constexpr int kPlanillas = 512, kLapso = 513;
  static constexpr int kDias = 514, kDiaPago = 515, kObligaDia = 516;
  static constexpr int kFactDiv = 520, kValDiv = 521, kEmisiones = 522, kFactMult = 523;
  static constexpr int kMesComerc = 524, kOtroFacto = 525, kFactSem = 526;
  static constexpr int kRenta = 530;  // 530..532: RENTA 0, 1, 2

  static constexpr const char* kRecalcQuestion =
      "Los montos en las planillas se van a actualizar\r\n¿Desea Continuar?";
  static constexpr const char* kRecalcText = "Recalculando campos ......";

  // `mode` 0 = add, 1 = modify record `recno` of the caller's table.
  E_TIPPLA(CatalogScreen& parent, const std::string& template_name, int mode, uint32_t recno,
           xb::Table* table, const std::string& business);
  ~E_TIPPLA() override;

  bool Init();
  void PROCESAR();
  void Terminar(int result);
  void CerrarBases();

 private:
  bool Open();
  void LoadRow();
  // The radios decide which quantity fields apply; the check box whether the
  // divisor can be typed.
  void EnableFields();
  bool Save(const std::string& code, const RecordCopy& values, bool recalc);

  CatalogScreen& parent_;
  std::string negocio_;
  int tipo_;
  uint32_t recno_;
  xb::Table* t_tip_pla_;
  std::string codigo_;  // table bytes, padded (modify)
  std::unique_ptr<CCOMBOBOX> oDia_;
  bool parent_disabled_ = false;
};

}  // namespace qz
