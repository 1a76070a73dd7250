// Department data-entry columns.
#include "lib/ui/catalog.h"
#include "payroll/entry_columns/def_ch_c.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterEntryColumnScreens(MenuRegistry& r, Desktop& d) {
  r.Register("DEF_CH_C", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<DEF_CH_C>(d, tmpl, business);
  });
}

}  // namespace qz
