// The mail screens of the administration menu: the installation's mail
// parameters (EMAIL6, dialog "F_MAIL", menu id 2987), the logged-in user's
// own addresses and button style (U_EMAIL, menu id 4696) and the log of the
// outgoing queue (LOG_EMAIL, "Log Envío de emails", menu id 6282). Mailing a
// file (LEE_EMAIL) is in lib/mail/send_file.h, where reports reach it.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/desktop.h"

namespace qz {

// "Parámetros Globales Mail-Server". `business` is stored in a new record.
void EMAIL6(Desktop& desktop, const std::string& business);

// "Cambio email Usuario" for the logged-in user (XU_COMP, XUSER_NUMBER).
void U_EMAIL(Desktop& desktop);

// The queue's log window.
class LOG_EMAIL : public WDIAG {
 public:
  static constexpr int kMenuId = 6282;
  // The business is not used: the queue is the installation's.
  LOG_EMAIL(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~LOG_EMAIL() override;
  bool Init();
  WBLISTBOX* grid() const { return grid_.get(); }

 private:
  void CerrarBases();
  TablePtr table_;
  std::unique_ptr<WBLISTBOX> grid_;
};
LOG_EMAIL* OpenMailLog(Desktop& desktop);

}  // namespace qz
