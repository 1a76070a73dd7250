#include "cash/cash_screens.h"
#include "cash/deposits/brow_dep.h"

namespace qz {

void RegisterCashScreens(MenuRegistry& registry, Desktop& desktop) {
  // Hotel deposits: no menu entry opens them in this program.
  RegisterDepositScreens(registry, desktop);
}

}  // namespace qz
