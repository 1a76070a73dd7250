#include "accounting/accounting_screens.h"
#include "accounting/def_cc.h"
#include "accounting/def_dist.h"
#include "accounting/dep_chk.h"
#include "accounting/employer_report/arc_inf.h"
#include "accounting/expense/export_c.h"
#include "accounting/map_pla.h"
#include "accounting/sap/as_sap.h"
#include "accounting/sap/crea_sap.h"
#include "lib/ui/catalog.h"

namespace qz {

void RegisterAccountingScreens(MenuRegistry& r, Desktop& d) {
  r.Register("DEF_CC", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<DEF_CC>(d, tmpl, business);
  });
  r.Register("DEF_DIST", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<DEF_DIST>(d, tmpl, business);
  });
  r.Register("MAP_PLA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<MAP_PLA>(d, tmpl, business);
  });
  r.Register("DEP_CHK", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<DEP_CHK>(d, tmpl, business);
  });
  // The employer's report file configuration.
  r.Register("ARC_INF", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<ARC_INF>(d, tmpl, business);
  });
  // The SAP journal: its mapping and the journal of the current payroll.
  r.Register("AS_SAP", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<AS_SAP>(d, tmpl, business);
  });
  r.Register("CREA_SAP", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<CREA_SAP>(d, tmpl, business);
  });
  // The distribution of payroll expenses to cost centres.
  r.Register("EXPORT_C", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<EXPORT_C>(d, tmpl, business);
  });
}

}  // namespace qz
