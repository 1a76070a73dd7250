// Recalculations over past payrolls and current values derived from them.
#include "lib/ui/catalog.h"
#include "payroll/benefits/ajust_ag.h"
#include "payroll/history/ajuste_c.h"
#include "payroll/history/calc_grp.h"
#include "payroll/history/history_recalc_screen.h"
#include "payroll/payroll_screens.h"

namespace qz {
namespace {

template <class S>
void Recalc(MenuRegistry& r, Desktop& d, const std::string& screen) {
  r.Register(screen, [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<S>(d, tmpl, business);
  });
}

}  // namespace

void RegisterHistoryRecalcScreens(MenuRegistry& r, Desktop& d) {
  Recalc<REC_HIST>(r, d, "REC_HIST");
  Recalc<REC_HIS2>(r, d, "REC_HIS2");
  Recalc<CALC_GRP>(r, d, "CALC_GRP");
  Recalc<AJUSTE_C>(r, d, "AJUSTE_C");
  Recalc<AJUST_AG>(r, d, "AJUST_AG");
}

}  // namespace qz
