#include "lib/mail/heartbeat.h"

#include "lib/settings/globals.h"
#include "xbase/env.h"

namespace qz {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

int64_t CalendarSeconds(const LocalDateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

int64_t GET_HEARTBEAT(const std::string& name) {
  xb::Env* env = xb::Env::Default();
  auto path = env->Resolve(G().PATH + "HBEAT/" + name + ".HBT");
  if (!path.ok()) return -1;
  xb::FileInfo info;
  if (!env->Stat(*path, &info).ok()) return -1;
  return CalendarSeconds(CurrentClock().Now()) - CalendarSeconds(LocalFromEpochNs(info.mtime_ns));
}

bool MailServerSilent() {
  return GET_HEARTBEAT("MAILSERV") > kMailServerSilence;
}

}  // namespace qz
