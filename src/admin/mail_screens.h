// The mail screens of the administration menu: the installation's mail
// parameters (EMAIL6, dialog "F_MAIL", menu id 2987), the logged-in user's
// own addresses and button style (U_EMAIL, menu id 4696), the confirmation
// before a report or grid file is mailed (LEE_EMAIL) and the log of the
// outgoing queue (LOG_EMAIL, "Log Envío de emails", menu id 6282).
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

// Mails `folder`/`file` (a report or grid export titled `title`) after the
// user confirms the addressee: queued for the mail server, or sent at once
// when its heartbeat says it is not working. True when the message was
// queued (sent or not).
bool SEND_FILE_EMAIL(Desktop& desktop, WDIAG* owner, const std::string& folder,
                     const std::string& file, const std::string& title,
                     const std::string& business, const std::string& hotel);

// The queue's log window.
class LOG_EMAIL : public WDIAG {
 public:
  static constexpr int kMenuId = 6282;
  explicit LOG_EMAIL(Desktop& desktop);
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
