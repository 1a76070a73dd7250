// The accounting screens the menu can open: cost centres, distribution
// tables, accounting links by position, process control, and the processes
// that turn payroll into accounting.
#pragma once

#include "lib/ui/desktop.h"
#include "lib/ui/menu_registry.h"

namespace qz {

void RegisterAccountingScreens(MenuRegistry& registry, Desktop& desktop);

}  // namespace qz
