// Work schedules (TIEMPO_E, window "TIEMPO_E", inline dialog
// "MODITIEMPO_E"): code, description, the hours factor that divides the
// hourly cost, free hours and base hours (controls 500..504). Saving runs
// inside a transaction; a new schedule or a changed factor offers to
// recompute the hourly-cost factors of the employees on the schedule. A
// changed code is carried into the employees (ENC_PERS5, COD_TIEMPO).
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class TIEMPO_E : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2506;
  static constexpr const char* kAskRecalc =
      "Los montos en las planillas se van a actualizar\r\n¿Desea Continuar?";
  static constexpr const char* kRecalcWait = "Recalculando campos ......";

  TIEMPO_E(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  bool SaveEdit(WDIAG& dlg, int mode) override;

 private:
  // Recomputes the factors of the business's employees on `code`.
  void Recalculate(const std::string& code);
};

}  // namespace qz
