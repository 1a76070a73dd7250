// Recalculations over past payrolls and current values derived from them.
#include "lib/ui/catalog.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterHistoryRecalcScreens(MenuRegistry& /*r*/, Desktop& /*d*/) {}

}  // namespace qz
