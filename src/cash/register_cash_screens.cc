#include "cash/cash_screens.h"
#include "cash/cash_window.h"
#include "lib/ui/cash_button.h"

namespace qz {

// The cash screens have no menu entry: the toolbar's cash button of a
// cash-handling module opens them.
void RegisterCashScreens(MenuRegistry&, Desktop&) {
  SetCashWindowOpener([](Desktop& desktop, WDIAG*, int toolbar_kind, int box_type,
                         const std::string& business) {
    OpenCashBoxWindow(desktop, toolbar_kind, box_type, business);
  });
}

}  // namespace qz
