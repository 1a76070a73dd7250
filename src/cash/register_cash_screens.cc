#include "cash/cash_screens.h"

namespace qz {

void RegisterCashScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
