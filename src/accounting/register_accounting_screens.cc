#include "accounting/accounting_screens.h"

namespace qz {

void RegisterAccountingScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
