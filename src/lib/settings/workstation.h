// Who and where: the login and host names standing in for the Windows user
// and computer names, and the workstation stamp written into records.
#pragma once

#include <string>

namespace qz {

std::string LoginName();
std::string HostName();
// Login name + " / " + host name (the INFO_USER of the entry log).
std::string UserAndHost();
// Login name + " / " + host name + " " + date ("dd/mm/yy") + " " + time,
// date and time from XDATE/XTIME.
std::string WorkstationStamp();

}  // namespace qz
