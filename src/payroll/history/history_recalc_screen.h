// The windows of the recalculations over past payrolls (REC_HIST, REC_HIS2):
// "Inicio:" and "Fin :" dates, "Aceptar" and "Cancelar". "Aceptar" asks the
// window's question, runs the recalculation under the waiting window (one
// transaction: cancelling or a refused lock leaves the history as it was)
// and, once committed, shows "Fin de Proceso" and closes.
#pragma once

#include <string>

#include "lib/payroll/history_recalc.h"
#include "payroll/processes/process_screen.h"

namespace qz {

class HistoryRecalcScreen : public ProcessScreen {
 public:
  static constexpr int kInicio = 501;
  static constexpr int kFin = 502;
  static constexpr const char* kBadDate = "Fecha inválida";

  using Recalc = HistoryRecalcResult (*)(const HistoryRecalcRequest&);

  HistoryRecalcScreen(Desktop& desktop, const std::string& template_name,
                      const std::string& business, const char* question, Recalc recalc);

  void Procesar();

 protected:
  bool AbrirBases() override { return true; }  // the recalculation opens its own
  void Configure() override;

 private:
  const char* question_;
  Recalc recalc_;
};

// "Recalculo de Resumen de Columnas Históricas".
class REC_HIST : public HistoryRecalcScreen {
 public:
  static constexpr const char* kTemplate = "REC_HIST";
  REC_HIST(Desktop& desktop, const std::string& template_name, const std::string& business);
};

// "Recalculo de Costo por Hora Promedio Histórico".
class REC_HIS2 : public HistoryRecalcScreen {
 public:
  static constexpr const char* kTemplate = "REC_HIS2";
  REC_HIS2(Desktop& desktop, const std::string& template_name, const std::string& business);
};

}  // namespace qz
