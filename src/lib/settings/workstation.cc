#include "lib/settings/workstation.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "lib/data/date_time.h"

namespace qz {

std::string LoginName() {
  if (const char* u = std::getenv("USER"); u && *u) return u;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
  return "?";
}

std::string HostName() {
  char buf[256] = {0};
  if (gethostname(buf, sizeof buf - 1) != 0 || !buf[0]) return "?";
  return buf;
}

std::string UserAndHost() {
  return LoginName() + " / " + HostName();
}

std::string WorkstationStamp() {
  return UserAndHost() + " " + DateText(XDATE()) + " " + XTIME();
}

}  // namespace qz
