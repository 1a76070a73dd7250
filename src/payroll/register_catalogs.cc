// The simple code catalogs.
#include "lib/ui/catalog.h"
#include "payroll/ocupa.h"
#include "payroll/payroll_screens.h"
#include "payroll/puestos.h"

namespace qz {

void RegisterCatalogScreens(MenuRegistry& r, Desktop& d) {
  r.Register("PUESTOS", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<PUESTOS>(d, tmpl, business);
  });
  r.Register("OCUPA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<OCUPA>(d, tmpl, business);
  });
}

}  // namespace qz
