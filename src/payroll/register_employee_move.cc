// Moving employees from one business to another.
#include "lib/ui/catalog.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterEmployeeMoveScreens(MenuRegistry& /*r*/, Desktop& /*d*/) {}

}  // namespace qz
