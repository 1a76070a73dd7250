// The administration screens the menu can open (mail, currencies and
// exchange rates).
#pragma once

#include "lib/ui/desktop.h"
#include "lib/ui/menu_registry.h"

namespace qz {

void RegisterAdminScreens(MenuRegistry& registry, Desktop& desktop);

}  // namespace qz
