// Department data-entry columns (DEF_CH_C, window "DEF_CH_C"): the business
// chooses up to twenty column types that the suite's per-department
// data-entry grid offers for editing. The choice lives in the business's
// F_PLAN row (COD_COL1 .. COD_COL20); two blanks leave a slot unused. Every
// list offers "  Sin Uso..." and the business's column types; "Guardar"
// writes the slots that have a choice and closes, "Salir" closes.
#pragma once

#include <string>

#include "lib/data/use.h"
#include "lib/ui/desktop.h"
#include "lib/ui/wdiag.h"

namespace qz {

class DEF_CH_C : public WDIAG {
 public:
  static constexpr int kSlots = 20;
  static constexpr int kFirstColumn = 601;  // "Columna n:" is kFirstColumn + n - 1
  static constexpr const char* kSinUso = "  Sin Uso...";
  static constexpr const char* kNoParameters =
      "No existen parámetros de planilla para este negocio.\r\n"
      "Defínalos primero en Parámetros de Planilla.";

  DEF_CH_C(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~DEF_CH_C() override;

  bool Init();
  void Terminar(int result = 2) { ENDDIALOG(result); }
  void LOAD_DATOS();
  // "Guardar".
  void PROCESAR();
  void OnActivate() override;

  static std::string SlotField(int n) { return "COD_COL" + std::to_string(n); }

 private:
  bool Open();
  bool ABRIRBASES();
  void CERRARBASES();
  // Positions F_PLAN on the business's row; false when it has none.
  bool SeekParameters();

  std::string negocio_;
  TablePtr f_plan_, enc_tip_;
};

}  // namespace qz
