// Column types.
#include "lib/ui/catalog.h"
#include "payroll/def_tip.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterColumnTypeScreens(MenuRegistry& r, Desktop& d) {
  r.Register("DEF_TIP", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<DEF_TIP>(d, tmpl, business);
  });
}

}  // namespace qz
