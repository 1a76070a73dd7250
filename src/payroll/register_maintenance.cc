// Upkeep of the payroll tables (packing and reindexing).
#include "lib/ui/catalog.h"
#include "payroll/maintenance/opt_pla.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterMaintenanceScreens(MenuRegistry& r, Desktop& d) {
  r.Register("OPT_PLA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<OPT_PLA>(d, tmpl, business);
  });
}

}  // namespace qz
