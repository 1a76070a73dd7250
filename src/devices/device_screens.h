// The card-terminal screens the menu can open.
#pragma once

#include "lib/ui/desktop.h"
#include "lib/ui/menu_registry.h"

namespace qz {

void RegisterDeviceScreens(MenuRegistry& registry, Desktop& desktop);

}  // namespace qz
