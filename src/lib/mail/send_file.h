// Mailing a report or grid file (the "email" output of reports and grid
// exports): the confirmation dialog LEE_EMAIL with the addressee, then a
// notification queued for the mail server, or sent at once when the mail
// server's heartbeat says it is not working.
#pragma once

#include <string>

#include "lib/ui/desktop.h"

namespace qz {

// Mails `folder`/`file` titled `title`. True when the message was queued
// (whether it then went out at once or not); false when the user cancelled
// or the file cannot be mailed (told).
bool SEND_FILE_EMAIL(Desktop& desktop, WDIAG* owner, const std::string& folder,
                     const std::string& file, const std::string& title,
                     const std::string& business, const std::string& hotel);

}  // namespace qz
