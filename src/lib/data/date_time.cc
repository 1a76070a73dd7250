#include "lib/data/date_time.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "lib/data/server_engine.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
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

std::optional<int32_t> ParseDateText(const std::string& text) {
  size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
  if (b == std::string::npos) return 0;
  std::string s = text.substr(b, e - b + 1);
  std::vector<std::string> parts;
  if (s.find('/') != std::string::npos) {
    size_t start = 0;
    for (size_t slash; (slash = s.find('/', start)) != std::string::npos; start = slash + 1)
      parts.push_back(s.substr(start, slash - start));
    parts.push_back(s.substr(start));
    if (parts.size() != 3 || parts[0].empty() || parts[0].size() > 2 || parts[1].empty() ||
        parts[1].size() > 2 || (parts[2].size() != 2 && parts[2].size() != 4))
      return std::nullopt;
  } else if (s.size() == 6 || s.size() == 8) {
    parts = {s.substr(0, 2), s.substr(2, 2), s.substr(4)};
  } else {
    return std::nullopt;
  }
  int v[3];
  for (int i = 0; i < 3; ++i) {
    v[i] = 0;
    for (char c : parts[i]) {
      if (c < '0' || c > '9') return std::nullopt;
      v[i] = v[i] * 10 + (c - '0');
    }
  }
  int year = parts[2].size() == 2 ? ExpandTwoDigitYear(v[2]) : v[2];
  int month = v[1], day = v[0];
  if (year < 100 || month < 1 || month > 12 || day < 1) return std::nullopt;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return std::nullopt;
  return xb::JulianFromYmd(year, month, day);
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
