// The simple code catalogs.
#include "lib/ui/catalog.h"
#include "payroll/def_tran.h"
#include "payroll/ocupa.h"
#include "payroll/payroll_screens.h"
#include "payroll/puestos.h"
#include "payroll/simple_catalog.h"
#include "payroll/tiempo_e.h"
#include "payroll/tip_tran.h"

namespace qz {
namespace {

template <class S>
void RegisterScreen(MenuRegistry& r, Desktop& d, const std::string& screen) {
  r.Register(screen, [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<S>(d, tmpl, business);
  });
}

}  // namespace

void RegisterCatalogScreens(MenuRegistry& r, Desktop& d) {
  RegisterScreen<PUESTOS>(r, d, "PUESTOS");
  RegisterScreen<OCUPA>(r, d, "OCUPA");
  RegisterScreen<TIEMPO_E>(r, d, "TIEMPO_E");
  RegisterScreen<TIP_TRAN>(r, d, "TIP_TRAN");
  RegisterScreen<DEF_TRAN>(r, d, "DEF_TRAN");
  for (const auto& def : SimpleCatalogs()) {
    r.Register(def.screen, [&d, &def](const std::string& business, const std::string& tmpl) {
      OpenScreen<SimpleCatalog>(d, tmpl, business, def);
    });
  }
}

}  // namespace qz
