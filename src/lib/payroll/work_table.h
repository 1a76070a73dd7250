// The tables a payroll helper works on: the caller's, whose order, scope and
// record are put back afterwards, or one the helper opens itself through USE
// and releases with KILLTABLA when it is done.
//
// USE reports a table that cannot be opened as a fault for the error handler.
// The payroll helpers answer with status values instead (a missing table makes
// an amount 0, it does not end the payroll run), so the fault is caught here
// and handed back as a status.
#pragma once

#include <optional>
#include <string>

#include "lib/data/use.h"
#include "lib/payroll/table_position.h"
#include "xbase/status.h"

namespace qz {

// USE(owner, name, tag) with a fault turned into a status. The caller's
// selected work area stays selected: USE selects the area it opens, and the
// lock operations of whoever called the payroll helper act on the selected one.
xb::Result<TablePtr> OpenPayrollTable(void* owner, const std::string& name,
                                      const std::string& tag = "");
// KILLTABLA, keeping the selected work area.
void ReleasePayrollTable(TablePtr& t);

class WorkTable {
 public:
  // Borrows `caller` when given; otherwise opens `name` (on `tag`).
  WorkTable(xb::Table* caller, void* owner, const std::string& name, const std::string& tag = "");
  ~WorkTable();
  WorkTable(const WorkTable&) = delete;
  WorkTable& operator=(const WorkTable&) = delete;

  // Null when the table could not be opened; status() says why.
  xb::Table* get() const { return t_; }
  const xb::Status& status() const { return status_; }

 private:
  xb::Table* t_ = nullptr;
  std::optional<TablePosition> keep_;
  TablePtr own_;
  xb::Status status_;
};

}  // namespace qz
