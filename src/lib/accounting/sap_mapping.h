// The business's SAP journal mapping (F_AS_SA2): which column or total goes
// to which account, cost centre, side, block and order, at which level, and
// the six totals a row may name instead of a column type.
#pragma once

#include <string>
#include <vector>

#include "xbase/status.h"

namespace xb {
class Table;
}

namespace qz {

// Department filter of a mapping row (TIPO).
enum SapDeptFilter { kSapTodos = 0, kSapFijo = 1, kSapExtra = 2 };
// Level of a mapping row (APLICA).
enum SapLevel { kSapDepartamento = 0, kSapDetallado = 1, kSapGranTotal = 2 };

struct SapMapRow {
  std::string columna;  // column-type code or "_1" .. "_6", trimmed
  int tipo = kSapTodos;
  int debito = 1;  // 1 debit, 0 credit
  int aplica = kSapDepartamento;
  std::string cuenta, cecos, bloque, rotulo;  // as stored, right-trimmed
  int orden = 0;
  double factor = 1;

  bool IsTotal() const { return columna.size() == 2 && columna[0] == '_'; }
  bool IsBalance() const { return columna == "_6"; }
  // Whether a department with the EXTRA mark `extra` passes the filter.
  bool Passes(int extra) const {
    return tipo == kSapTodos || (tipo == kSapFijo && extra == 0) || (tipo == kSapExtra && extra == 1);
  }
};

struct SapTotalItem {
  const char* code;
  const char* label;
};
// "_1" net salary, "_2" deductions, "_3" withholdings, "_4" non-deductible
// income, "_5" salary income, "_6" the balancing line of a block.
extern const SapTotalItem kSapTotals[6];
// The item label of a total code; "" for a column code.
std::string SapTotalLabel(const std::string& code);

// The business's rows in their order (tag F_AS_SA3: the order they were
// written in). The table's order and record are put back.
xb::Result<std::vector<SapMapRow>> LoadSapMapping(xb::Table& f_as_sa2, const std::string& negocio);
// Reads the mapping fields of the current record (F_AS_SA2 or TMP_SAP).
SapMapRow ReadSapMapRow(const xb::Table& t);
// Writes the ten mapping fields (not NEGOCIO) into the current record.
xb::Status WriteSapMapRow(xb::Table& t, const SapMapRow& row);

}  // namespace qz
