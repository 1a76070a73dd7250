// The catalogs whose rows are edited in a form of their own (vacation types, action types, debt and transaction concepts, column groups, document classes).
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterCatalogEditorScreens(MenuRegistry&, Desktop&) {}

}  // namespace qz
