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
  // The schedule chosen was deleted by another workstation after the list
  // was filled: every factor would be computed over a missing hours factor.
  static constexpr const char* kScheduleGone =
      "La jornada escogida ya no existe; escoja otra de la lista";

  ASIG_JOR(Desktop& desktop, const std::string& template_name, const std::string& business);

  void Procesar();

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  void FillSchedules();

  TablePtr tiempo_e_, enc_pers_;
};

}  // namespace qz
