#include "admin/admin_screens.h"
#include "admin/mail_screens.h"
#include "admin/moneda.h"
#include "admin/t_cambio.h"

namespace qz {

void RegisterAdminScreens(MenuRegistry& r, Desktop& d) {
  r.Register("EMAIL6", [&d](const std::string& business, const std::string&) {
    EMAIL6(d, business);
  });
  r.Register("U_EMAIL", [&d](const std::string&, const std::string&) { U_EMAIL(d); });
  r.Register("LOG_EMAIL", [&d](const std::string&, const std::string&) { OpenMailLog(d); });
  r.Register("MONEDA", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<MONEDA>(d, tmpl, business);
  });
  r.Register("T_CAMBIO", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<T_CAMBIO>(d, tmpl, business);
  });
  r.Register("NEG_CAMB", [&d](const std::string& business, const std::string&) {
    NEG_CAMB(d, business);
  });
}

}  // namespace qz
