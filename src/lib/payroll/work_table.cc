#include "lib/payroll/work_table.h"

#include "lib/data/work_areas.h"
#include "lib/errors/fault.h"

namespace qz {

xb::Result<TablePtr> OpenPayrollTable(void* owner, const std::string& name,
                                      const std::string& tag) {
  AreaSelection keep(Areas().Selected());
  try {
    TablePtr t = USE(owner, name, tag);
    if (!t) return xb::Status::NotFound(name + ": not opened");
    return t;
  } catch (const Fault& f) {
    return xb::Status::NotFound(name + ": " + f.info().description);
  }
}

void ReleasePayrollTable(TablePtr& t) {
  AreaSelection keep(Areas().Selected());
  KILLTABLA(t);
}

WorkTable::WorkTable(xb::Table* caller, void* owner, const std::string& name,
                     const std::string& tag) {
  if (caller) {
    t_ = caller;
    keep_.emplace(caller);
    return;
  }
  auto opened = OpenPayrollTable(owner, name, tag);
  if (!opened.ok()) {
    status_ = opened.status();
    return;
  }
  own_ = std::move(opened.value());
  t_ = &own_->table();
}

WorkTable::~WorkTable() {
  keep_.reset();  // the caller's table goes back first
  ReleasePayrollTable(own_);
}

}  // namespace qz
