#include "devices/credomat.h"
#include "devices/device_screens.h"
#include "devices/p_elect.h"
#include "devices/posware.h"
#include "lib/ui/catalog.h"

namespace qz {

void RegisterDeviceScreens(MenuRegistry& r, Desktop& d) {
  r.Register("P_ELECT", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<P_ELECT>(d, tmpl, business);
  });
  r.Register("A_ELECT", [&d](const std::string& business, const std::string&) {
    A_ELECT(d, business);
  });
  r.Register("POSWARE", [&d](const std::string& business, const std::string&) {
    POSWARE(d, business, "", 1);
  });
  r.Register("CREDOMAT_PRE", [&d](const std::string& business, const std::string&) {
    CREDOMAT(d, business, "", 1);
  });
  r.Register("CREDOMAT", [&d](const std::string& business, const std::string&) {
    CREDOMAT(d, business, "", 2);
  });
}

}  // namespace qz
