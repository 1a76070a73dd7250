// Upkeep of the payroll tables (packing and reindexing).
#include "lib/ui/catalog.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterMaintenanceScreens(MenuRegistry& /*r*/, Desktop& /*d*/) {}

}  // namespace qz
