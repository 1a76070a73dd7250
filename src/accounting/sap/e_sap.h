// The mapping row editor (E_SAP, "Caracteristicas "): the column or total,
// account, cost centre, block, order, factor, label and the three radio
// groups. The balancing item "* Diferencia Deb.y Cred" fixes the groups to
// "Todos", "Debito" and "Gran Total".
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "lib/accounting/sap_mapping.h"
#include "lib/ui/wdiag.h"

namespace qz {

class E_SAP {
 public:
  static constexpr int kColumna = 601;
  static constexpr int kCuenta = 501, kCecos = 502, kBloque = 503, kOrden = 504, kFactor = 505,
                       kRotulo = 506;
  static constexpr int kTodos = 301, kFijo = 302, kExtra = 303;
  static constexpr int kDebito = 311, kCredito = 312;
  static constexpr int kDepartamento = 321, kDetallado = 322, kGranTotal = 323;
  static constexpr const char* kNoColumn = "Falta seleccionar la columna";

  // `columns`: the business's column types as {code, description} (UTF-8).
  explicit E_SAP(std::vector<std::pair<std::string, std::string>> columns)
      : columns_(std::move(columns)) {}

  // Runs the dialog over `row` (a new row: nullopt-like defaults set by the
  // caller). True when "Procesar" stored the row.
  bool Edit(WDIAG* owner, SapMapRow* row);

  // The text the list shows for an item: the column type's description, or
  // the total's label.
  std::string Describe(const std::string& code) const;

 private:
  int Proc(WDIAG& d, int msg, int64_t wparam);
  void Load(WDIAG& d);
  bool Store(WDIAG& d);
  void FollowItem(WDIAG& d);

  std::vector<std::pair<std::string, std::string>> columns_;
  SapMapRow* row_ = nullptr;
};

}  // namespace qz
