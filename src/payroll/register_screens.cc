#include "payroll/payroll_screens.h"

namespace qz {

void RegisterPayrollScreens(MenuRegistry& registry, Desktop& desktop) {
  RegisterCatalogScreens(registry, desktop);
  RegisterCatalogEditorScreens(registry, desktop);
  RegisterFormatScreens(registry, desktop);
  RegisterParameterScreens(registry, desktop);
  RegisterColumnTypeScreens(registry, desktop);
  RegisterDepartmentScreens(registry, desktop);
  RegisterPersonnelActionScreens(registry, desktop);
  RegisterEntryColumnScreens(registry, desktop);
  RegisterProcessScreens(registry, desktop);
  RegisterHistoryRecalcScreens(registry, desktop);
  RegisterEmployeeMoveScreens(registry, desktop);
  RegisterMaintenanceScreens(registry, desktop);
}

}  // namespace qz
