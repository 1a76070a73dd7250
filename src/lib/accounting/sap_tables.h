// The SAP journal's work tables: the private copies of the templates
// TMP_PLA4 (employees), TMP_PLA5 (employee and column), TMP_PL11
// (departments), TMP_PL12 (department and column) and TMP_PL13 (the journal
// lines), emptied and written at each run.
#pragma once

#include <vector>

#include "lib/accounting/sap_model.h"
#include "xbase/status.h"

namespace xb {
class Table;
}

namespace qz {

struct SapWorkTables {
  xb::Table* tmp_pla4 = nullptr;  // null entries are not written
  xb::Table* tmp_pla5 = nullptr;
  xb::Table* tmp_pl11 = nullptr;
  xb::Table* tmp_pl12 = nullptr;
  xb::Table* tmp_pl13 = nullptr;
};

// Deletes every row of the given tables.
xb::Status ClearSapWorkTables(const SapWorkTables& t);
// Appends the computation's rows (employee tables only with the detail flag)
// and the lines.
xb::Status WriteSapWorkTables(const SapComputation& c, const std::vector<SapLine>& lines,
                              const SapWorkTables& t);

}  // namespace qz
