#include "admin/admin_screens.h"
#include "admin/mail_screens.h"

namespace qz {

void RegisterAdminScreens(MenuRegistry& r, Desktop& d) {
  r.Register("EMAIL6", [&d](const std::string& business, const std::string&) {
    EMAIL6(d, business);
  });
  r.Register("U_EMAIL", [&d](const std::string&, const std::string&) { U_EMAIL(d); });
  r.Register("LOG_EMAIL", [&d](const std::string&, const std::string&) { OpenMailLog(d); });
}

}  // namespace qz
