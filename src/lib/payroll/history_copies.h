// The copies of a column type that a payroll keeps: when a period is opened,
// the column type of each of the department's columns (ENC_TIP) goes into
// H_E_TIP and its bracket rows (DET_TIP) into H_D_TIP, under the department
// and the payroll date. Everything a later recalculation of that payroll
// reads comes from these copies, so they keep every field the history tables
// share with the definitions; see KeepsValueInCopy for the one exception.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "xbase/status.h"

namespace xb {
class Table;
}

namespace qz {

// Whether field `field` of a column type of kind `tipo` keeps its value in
// the H_E_TIP copy. Only the default amount of an absolute value (VALOR of
// kind 1) starts at 0: it is what each employee's value row starts with, and
// the payroll keeps the employee's own value in H_D_PERS. The other fields
// the opening used to clear are the type's own constants that the value
// classes read (the percentage and the composite item's amount in VALOR,
// VAL_X_DEF, the factor flag FACTOR and default factor VALOR_2, DIVIDIR,
// NUM_PERIOD, the hourly-cost multiplier VALOR_3), and are copied.
bool KeepsValueInCopy(const std::string& field, int tipo);

// Makes the new blank record of a table current and locked: Table::Append by
// default, the data layer's ADD_NEW_REC in a screen.
using AppendRecord = std::function<xb::Status(xb::Table&)>;

// Appends to `h_e_tip` the copy of the column type on which `enc_tip` stands
// and to `h_d_tip` one copy of each of its bracket rows (`det_tip`, found on
// its DET_TIP tag; its position is restored), with DEPTO = `depto` and FECHA
// = `fecha`. Every field of the history table that the definition table has
// is copied as stored (KeepsValueInCopy aside). Each record is written back
// before the next one is appended. Returns the first error.
xb::Status CopyColumnTypeToHistory(const xb::Table& enc_tip, xb::Table& det_tip,
                                   xb::Table& h_e_tip, xb::Table& h_d_tip,
                                   const std::string& depto, int32_t fecha,
                                   const AppendRecord& append = nullptr);

}  // namespace qz
