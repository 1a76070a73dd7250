// Report, certificate, employee-list and signature formats.
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterFormatScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
