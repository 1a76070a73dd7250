// Column types.
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterColumnTypeScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
