// Building a column's value class from the tables: the column type (the
// current ENC_TIP, or the copy H_E_TIP a past payroll keeps), its brackets
// (DET_TIP / H_D_TIP), how many of the department's payrolls of the month lie
// up to this one (for a column restricted to the n-th payroll) and the
// exchange rate from the type's currency to the payroll's. Everything is read
// once here, so the object's PUT touches no table.
#pragma once

#include <memory>
#include <string>

#include "lib/payroll/definitions.h"
#include "lib/payroll/value_classes.h"
#include "xbase/status.h"

namespace xb {
class Table;
}

namespace qz {

// The tables the definitions come from. A null entry is opened through USE
// for the call and released afterwards; a table given is borrowed and its
// order, scope and record are put back.
struct ColumnTables {
  xb::Table* tipos = nullptr;     // ENC_TIP, or H_E_TIP for a past payroll
  xb::Table* brackets = nullptr;  // DET_TIP, or H_D_TIP
  xb::Table* h_e_dept = nullptr;  // payroll headers (the month's payrolls)
  xb::Table* t_cambio = nullptr;  // exchange rates
  void* owner = nullptr;          // the screen the opened tables belong to
};

// Which column of which payroll.
struct ColumnRequest {
  std::string negocio;
  std::string depto;
  std::string columna;     // the column-type code
  bool historico = false;  // a past payroll: its own copies of the definitions
  std::string moneda;      // the payroll's currency
};

// The column type, without brackets. NotFound when the type does not exist
// (for a past payroll: no copy of it dated `fecha` for the department).
xb::Status LoadColumnType(const ColumnRequest& r, xb::Table& tipos, int32_t fecha, ColumnType* out);
// The type's brackets in processing order (lower bound ascending, rows of
// equal bounds in the order they were entered).
xb::Status LoadBrackets(const ColumnRequest& r, xb::Table& brackets, int32_t fecha,
                        ColumnType* out);

// How many of the department's payroll headers of `fecha`'s month are dated on
// or before `fecha` (this payroll's position in the month when its header
// exists).
int PayrollsOfMonthUpTo(xb::Table& h_e_dept, const std::string& negocio, const std::string& depto,
                        int32_t fecha);

// The multiplier from the type's currency to the payroll's: 1 when they are
// the same or either is blank (nothing to convert), today's rate for the
// current payroll, the rate in force on `fecha` for a past one, 0 when there
// is none.
double ColumnRate(xb::Table& t_cambio, const ColumnRequest& r, const std::string& moneda_tipo,
                  int32_t fecha);

// The value class of the column, ready for PUT/GET. `ctx` describes the
// payroll (its date, start date, payroll type, daily cost ...); its period
// count is filled in here. Null (with OK) for a separator line or an unknown
// kind, which have no value. Tables are only read when the column needs them:
// brackets for a composite item, headers for a column restricted to a
// period, rates for a composite item in another currency.
xb::Result<std::unique_ptr<ColumnValue>> OpenColumnValue(const ColumnRequest& r,
                                                         const ColumnTables& t, PayrollContext ctx);

}  // namespace qz
