#include "cash/cash_screens.h"
#include "cash/cash_window.h"
#include "cash/deposits/brow_dep.h"
#include "lib/ui/cash_button.h"

namespace qz {

// The cash screens have no menu entry: the toolbar's cash button of a
// cash-handling module opens them.
void RegisterCashScreens(MenuRegistry& registry, Desktop& desktop) {
  SetCashWindowOpener([](Desktop& d, WDIAG*, int toolbar_kind, int box_type,
                         const std::string& business) {
    OpenCashBoxWindow(d, toolbar_kind, box_type, business);
  });

  // Hotel deposits: no menu entry opens them in this program.
  RegisterDepositScreens(registry, desktop);
}

}  // namespace qz
