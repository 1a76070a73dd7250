// "Distribución de Gastos de Planilla" (EXPORT_C, window "Archivo de
// Exportación para Contabilidad"): the current payroll of the marked
// departments of one payroll type, for one payment method, distributed to
// the cost centres and written to a workbook ("Crear Archivo") or printed
// ("Imprimir Listado"). The checks run first; any problem the validation
// finds is listed in the error window and nothing is written.
#pragma once

#include <string>

#include "payroll/processes/process_screen.h"

namespace qz {

struct ExpenseRequest;

class EXPORT_C : public ProcessScreen {
 public:
  static constexpr int kTipo = 601;
  static constexpr int kFormaPago = 602;
  static constexpr int kMoneda = 603;
  static constexpr int kFecha = 501;
  static constexpr int kFechaEmision = 502;
  static constexpr int kRotulo = 503;
  static constexpr int kArchivo = 504;
  static constexpr int kDetallado = 301;
  static constexpr int kCrearArchivo = 203;
  static constexpr int kImprimir = 204;
  static constexpr const char* kNoType = "Falta seleccionar el tipo de planilla";
  static constexpr const char* kNoCurrency = "Falta seleccionar la moneda";
  static constexpr const char* kBadDate = "La fecha no es válida";

  EXPORT_C(Desktop& desktop, const std::string& template_name, const std::string& business);

  // "Crear Archivo" (workbook) or "Imprimir Listado": the path written, or
  // "" when the run stopped or printed.
  std::string Procesar(bool workbook);
  // The issue date for the date and payroll type on screen (0 when none).
  int32_t FechaEmision();

 protected:
  bool AbrirBases() override;
  void Configure() override;

 private:
  void TypeChosen();
  // The period check and the adjustment reminder; false when the run stops.
  bool Checks(const ExpenseRequest& req);
  std::string BusinessName();

  TablePtr tip_pla_, monedas_;
};

}  // namespace qz
