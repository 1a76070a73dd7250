// Department data-entry columns.
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterEntryColumnScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
