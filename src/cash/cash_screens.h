// The cash-box screens: the cash box window of each toolbar kind, closings
// and hotel deposits.
#pragma once

#include "lib/ui/desktop.h"
#include "lib/ui/menu_registry.h"

namespace qz {

void RegisterCashScreens(MenuRegistry& registry, Desktop& desktop);

}  // namespace qz
