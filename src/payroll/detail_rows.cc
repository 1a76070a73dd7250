#include "payroll/detail_rows.h"

#include "lib/data/locking.h"
#include "lib/ui/desktop.h"

namespace qz {

int DeleteDetailRows(WDBTable& w, const std::string& tag, const std::string& prefix) {
  xb::Table& t = w.table();
  std::optional<xb::Value> scope = xb::Value::Char(prefix);
  int deleted = 0;
  if (!t.SetOrder(tag).ok() || !t.SetScope(scope, scope).ok()) return 0;
  for (t.GoTop(); !t.Eof();) {
    // The deleted row leaves the tag: remember the next one.
    uint32_t here = t.RecNo();
    t.Skip(1);
    uint32_t next = t.Eof() ? 0 : t.RecNo();
    t.GoTo(here);
    DELETE_RECORD(w);
    ++deleted;
    MULTITASK();
    if (next == 0) break;
    t.GoTo(next);
  }
  t.SetScope(std::nullopt, std::nullopt);
  return deleted;
}

}  // namespace qz
