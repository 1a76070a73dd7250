// Departments: the browser, its editor and sub-windows, duplication.
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterDepartmentScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
