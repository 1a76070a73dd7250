// The payroll definition and process screens the menu can open. Each group
// registers its screens from its own file, so adding a screen touches only
// its group.
#pragma once

#include "lib/ui/desktop.h"
#include "lib/ui/menu_registry.h"

namespace qz {

void RegisterPayrollScreens(MenuRegistry& registry, Desktop& desktop);

// The groups, one file each (register_<group>.cc).
void RegisterCatalogScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterCatalogEditorScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterFormatScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterParameterScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterColumnTypeScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterDepartmentScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterPersonnelActionScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterEntryColumnScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterProcessScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterHistoryRecalcScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterEmployeeMoveScreens(MenuRegistry& registry, Desktop& desktop);
void RegisterMaintenanceScreens(MenuRegistry& registry, Desktop& desktop);

}  // namespace qz
