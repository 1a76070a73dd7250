// Payroll parameters and payroll types.
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterParameterScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
