// Personnel-action types, approval stages, persons in charge, evaluation profiles.
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterPersonnelActionScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
