// Working schedule assignment (ASIG_JOR, window "ASIG_JOR"): every active
// employee of the marked departments gets the chosen schedule (COD_TIEMPO),
// and the hourly-cost factors of those employees are recomputed by the
// shared recalculation, in the same transaction.
#pragma once

#include <string>

#include "payroll/processes/process_screen.h"

namespace qz {

class ASIG_JOR : public ProcessScreen {
 public:
  static constexpr int kJornada = 601;
  static constexpr const char* kNoSchedule = "Falta seleccionar la jornada a aplicar";

  ASIG_JOR(Desktop& desktop, const std::string& template_name, const std::string& business);

  void Procesar();

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  TablePtr tiempo_e_, enc_pers_;
};

}  // namespace qz
