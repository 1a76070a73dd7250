// The column mapping dialog of a move between businesses (B_COLS,
// "Definición de Columnas"): the source columns the moving employees hold,
// the target column proposed for each and why it is doubtful. "Destino" is
// typed in place; "&Aceptar" asks before values are dropped.
#pragma once

#include <string>
#include <vector>

#include "lib/payroll/employee_move_columns.h"
#include "lib/ui/wdiag.h"

namespace qz {

class B_COLS {
 public:
  static constexpr int kGrid = 700;
  static constexpr int kDestinoColumn = 2;
  static constexpr const char* kTemplate = "B_COLS";

  // The text of the question asked before the values of `dropped` (source
  // column codes) are left behind.
  static std::string DropQuestion(const std::vector<std::string>& dropped);
  static std::string SharedText(const std::string& target);

  // Shows `map` over a private T_COLS; true when the user accepted, with
  // `map` as edited.
  static bool Run(WDIAG* owner, const MoveColumns& columns, std::vector<ColumnMapping>& map);
};

}  // namespace qz
