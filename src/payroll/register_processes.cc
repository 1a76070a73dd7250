// Payroll processes: opening a period, columns on past payrolls, schedule assignment.
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterProcessScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
