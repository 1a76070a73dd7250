// Payroll parameters and payroll types.
#include "lib/ui/catalog.h"
#include "payroll/f_plan.h"
#include "payroll/payroll_screens.h"
#include "payroll/tipo_pla.h"

namespace qz {

void RegisterParameterScreens(MenuRegistry& r, Desktop& d) {
  r.Register("F_PLAN", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<F_PLAN>(d, tmpl, business);
  });
  r.Register("TIPO_PLA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<TIPO_PLA>(d, tmpl, business);
  });
}

}  // namespace qz
