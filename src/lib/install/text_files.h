// Text files of an installation: the mail template of the HTML folder and the
// private-profile settings file QUARTZEL.INI.
#pragma once

#include <string>
#include <vector>

namespace qz {

// The placeholders a queued notification replaces in NOTIFICA.HTM.
const std::vector<std::string>& NotificationPlaceholders();

// NOTIFICA.HTM in Windows-1252, as the mail sender streams it byte for byte.
std::string NotificationTemplate();

// QUARTZEL.INI with CR LF line ends (the private-profile format). The login
// preselects `last_business` (section LAST_NEG); empty = the first business.
std::string IniFile(const std::string& last_business);

}  // namespace qz
