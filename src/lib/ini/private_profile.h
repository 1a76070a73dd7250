// QUARTZEL.INI read and written the way the Windows private-profile
// functions do it: [sections] and key=value lines, section and key names
// compared without regard to case, keys and values trimmed, values as text,
// a default when the section, the key or the file is missing. Writing
// creates the section or key when needed and keeps every other line of the
// file as it was; the file is replaced whole (written aside, then renamed),
// so a failed write never leaves half a file.
#pragma once

#include <string>

#include "xbase/status.h"

namespace qz {

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& file);
int GetPrivateProfileInt(const std::string& section, const std::string& key, int default_value,
                         const std::string& file);
xb::Status WritePrivateProfileString(const std::string& section, const std::string& key,
                                     const std::string& value, const std::string& file);
// Removes a key (the rest of the section stays).
xb::Status DeletePrivateProfileKey(const std::string& section, const std::string& key,
                                   const std::string& file);

// The program's QUARTZEL.INI (in the program folder).
std::string QuartzelIni();

}  // namespace qz
