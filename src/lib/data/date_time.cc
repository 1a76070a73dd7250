#include "lib/data/date_time.h"

#include <cstdio>
#include <optional>

#include "lib/data/server_engine.h"
#include "lib/settings/globals.h"
#include "xbase/value.h"

namespace qz {
namespace {

// The server's answer, unless there is no connection, the call fails or
// the server clock was never set (a year below 1700).
std::optional<LocalDateTime> UsableServerNow() {
  if (!G().XADS_MYCONNECTION.value_or(false)) return std::nullopt;
  auto now = ServerNow();
  if (!now || now->year < 1700) return std::nullopt;
  return now;
}

std::optional<LocalDateTime> ServerUnlessLocal(bool local) {
  const Globals& g = G();
  if (g.XFEC_HORA_LOCAL == 1 || local || !IsServerEngine()) return std::nullopt;
  return UsableServerNow();
}

}  // namespace

int32_t JulianOf(const LocalDateTime& t) {
  return xb::JulianFromYmd(t.year, t.month, t.day);
}

std::string TimeText(const LocalDateTime& t) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 24, t.minute % 60, t.second % 60);
  return buf;
}

std::string DateText(int32_t julian) {
  if (julian == 0) return std::string(8, ' ');
  int y, m, d;
  xb::YmdFromJulian(julian, &y, &m, &d);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", d % 100, m % 100, y % 100);
  return buf;
}

int32_t XDATE(bool local) {
  auto server = ServerUnlessLocal(local);
  return JulianOf(server ? *server : CurrentClock().Now());
}

std::string XTIME(bool local) {
  auto server = ServerUnlessLocal(local);
  return TimeText(server ? *server : CurrentClock().Now());
}

int32_t GET_SERVERDATE() {
  auto server = UsableServerNow();
  return JulianOf(server ? *server : CurrentClock().Now());
}

std::string GET_SERVERTIME() {
  auto server = UsableServerNow();
  return TimeText(server ? *server : CurrentClock().Now());
}

}  // namespace qz
