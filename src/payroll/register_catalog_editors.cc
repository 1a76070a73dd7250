// The catalogs whose rows are edited in a form of their own (vacation types, action types, debt and transaction concepts, column groups, document classes).
#include "lib/ui/catalog.h"
#include "payroll/accion_e.h"
#include "payroll/concepts.h"
#include "payroll/d_cla_dc.h"
#include "payroll/def_grp.h"
#include "payroll/def_vac.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterCatalogEditorScreens(MenuRegistry& r, Desktop& d) {
  r.Register("DEF_VAC", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<DEF_VAC>(d, tmpl, business);
  });
  r.Register("ACCION_E", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<ACCION_E>(d, tmpl, business);
  });
  r.Register("CONCEPTD", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<CONCEPTD>(d, tmpl, business);
  });
  r.Register("CONCEPTT", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<CONCEPTT>(d, tmpl, business);
  });
  r.Register("DEF_GRP", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<DEF_GRP>(d, tmpl, business);
  });
  r.Register("D_CLA_DC", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<D_CLA_DC>(d, tmpl, business);
  });
}

}  // namespace qz
