#include "lib/workbook/workbook_names.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "lib/clock.h"
#include "lib/settings/globals.h"

namespace qz {

namespace {

std::string Replace(const std::string& s, const std::string& chars) {
  std::string out = s;
  for (char& c : out)
    if (chars.find(c) != std::string::npos) c = '-';
  return out;
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string CORRECT_NAME(const std::string& name, bool file_name_form) {
  return Replace(name, file_name_form ? "#$%&!" : ":\\./#$%&!");
}

std::string SheetName(const std::string& name, const std::string& fallback) {
  std::string s = Replace(CORRECT_NAME(name), "[]*?");
  // At most 31 characters, cut on a character boundary.
  int chars = 0;
  size_t cut = s.size();
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (chars == 31) {
      cut = i;
      break;
    }
    ++chars;
  }
  s.resize(cut);
  // A leading or trailing apostrophe is refused by spreadsheets too.
  if (!s.empty() && s.front() == '\'') s.front() = '-';
  if (!s.empty() && s.back() == '\'') s.back() = '-';
  if (s.find_first_not_of(' ') == std::string::npos) return fallback;
  return s;
}

std::string TemporaryWorkbookName() {
  LocalDateTime t = CurrentClock().Now();
  double seconds = t.hour * 3600 + t.minute * 60 + t.second + t.millisecond / 1000.0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", std::floor(seconds * 100) / 100);
  std::string digits;
  for (const char* p = buf; *p; ++p)
    if (*p != '.') digits += *p;
  if (digits.size() < 7) digits.insert(0, 7 - digits.size(), '0');
  return "T" + digits.substr(digits.size() - 7);
}

std::string WorkbookFolder() {
  const Globals& g = G();
  if (g.XTEMPPATH.local == 1 && !g.XTEMPPATH.folder.empty())
    return WithSlash(g.XTEMPPATH.folder) + "TEMP/";
  if (!g.XDBACCESS[0].empty()) return WithSlash(g.PATH) + "TEMP/";
  return WithSlash(g.PATH);
}

std::string WithoutWorkbookExtension(const std::string& name) {
  auto ends_with = [&](const char* ext) {
    size_t n = std::char_traits<char>::length(ext);
    if (name.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
      if (std::toupper(static_cast<unsigned char>(name[name.size() - n + i])) != ext[i])
        return false;
    return true;
  };
  if (ends_with(".XLSX")) return name.substr(0, name.size() - 5);
  if (ends_with(".XLS")) return name.substr(0, name.size() - 4);
  return name;
}

}  // namespace qz
