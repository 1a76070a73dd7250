#include "lib/settings/globals.h"

#include <strings.h>

#include <algorithm>
#include <cctype>

#include "lib/clock.h"
#include "lib/data/txt_srch.h"
#include "lib/data/work_areas.h"
#include "lib/data/wtable.h"

namespace qz {
namespace {
// Destroyed in reverse order at exit: the settings (whose objects hold
// tables) before the work areas those tables live in.
std::unique_ptr<WorkAreas> g_areas;
std::unique_ptr<Globals> g_globals;
}  // namespace

WorkAreas& Areas() {
  if (!g_areas) g_areas = std::make_unique<WorkAreas>();
  return *g_areas;
}

void ResetWorkAreas() {
  g_areas.reset();
}

Globals::Globals() {
  XAVAILABLE_FONTS = {"Arial",     "Arial Black", "Arial Narrow",    "AvantGarde",
                      "Century",   "Courier",     "Calibri",         "Cambria",
                      "Eurostyle", "Tahoma",      "Times New Roman", "Helvetica"};
  XAPP_LAST_MESSAGETIME = CurrentClock().TickMs();
}

Globals::~Globals() {
  // Objects holding tables go first, while the rest of the settings exists.
  XTXT_SRCH_OBJ.reset();
  XDUMMYADSTABLE.reset();
}

Globals& G() {
  if (!g_globals) g_globals = std::make_unique<Globals>();
  return *g_globals;
}

void ResetGlobals() {
  if (g_globals) {
    // Tables first: closing them may still read the settings.
    g_globals->XDUMMYADSTABLE.reset();
    g_globals->XTXT_SRCH_OBJ.reset();
  }
  ResetWorkAreas();
  g_globals = std::make_unique<Globals>();
}

bool IsServerEngine() {
  return G().DEF_RDD == "ADSCDX";
}

bool AdsLineIs(int n, const std::string& text) {
  const auto& p = G().XADSPARAMS;
  return n >= 1 && n <= static_cast<int>(p.size()) && StartsWith(p[n - 1], text);
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string RTrim(const std::string& s) {
  size_t e = s.find_last_not_of(" \t\r\n");
  return e == std::string::npos ? "" : s.substr(0, e + 1);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string PadRight(const std::string& s, size_t n, char fill) {
  if (s.size() >= n) return s.substr(0, n);
  return s + std::string(n - s.size(), fill);
}

std::string PadLeft(const std::string& s, size_t n, char fill) {
  if (s.size() >= n) return s.substr(s.size() - n);
  return std::string(n - s.size(), fill) + s;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace qz
