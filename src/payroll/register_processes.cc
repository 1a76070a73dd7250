// Payroll processes: opening a period, columns on past payrolls, schedule assignment.
#include "lib/ui/catalog.h"
#include "payroll/payroll_screens.h"
#include "payroll/processes/add_col.h"
#include "payroll/processes/add_col3.h"
#include "payroll/processes/add_col4.h"
#include "payroll/processes/asig_jor.h"
#include "payroll/processes/init_pla.h"
#include "payroll/processes/recalc_c.h"

namespace qz {
namespace {

template <class S>
void Process(MenuRegistry& r, Desktop& d, const std::string& screen) {
  r.Register(screen, [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<S>(d, tmpl, business);
  });
}

}  // namespace

void RegisterProcessScreens(MenuRegistry& r, Desktop& d) {
  Process<INIT_PLA>(r, d, "INIT_PLA");
  Process<ADD_COL>(r, d, "ADD_COL");
  Process<ADD_COL3>(r, d, "ADD_COL3");
  Process<ADD_COL4>(r, d, "ADD_COL4");
  Process<RECALC_C>(r, d, "RECALC_C");
  Process<ASIG_JOR>(r, d, "ASIG_JOR");
}

}  // namespace qz
