// Personnel-action types, approval stages, persons in charge, evaluation profiles.
#include "lib/ui/catalog.h"
#include "payroll/actions/acc_pers.h"
#include "payroll/actions/auto_pla.h"
#include "payroll/actions/etap_pla.h"
#include "payroll/actions/perf_eva.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterPersonnelActionScreens(MenuRegistry& r, Desktop& d) {
  r.Register("ACC_PERS", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<ACC_PERS>(d, tmpl, business);
  });
  r.Register("ETAP_PLA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<ETAP_PLA>(d, tmpl, business);
  });
  r.Register("AUTO_PLA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<AUTO_PLA>(d, tmpl, business);
  });
  r.Register("PERF_EVA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<PERF_EVA>(d, tmpl, business);
  });
}

}  // namespace qz
