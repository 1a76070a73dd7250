// ADS.DEF: the server engine's parameters, one per line. A CR ends a line,
// LF characters are ignored wherever they occur, and text after the last CR
// is a last line. Missing lines read as empty.
#pragma once

#include <string>
#include <vector>

#include "lib/settings/globals.h"
#include "xbase/status.h"

namespace qz {

std::vector<std::string> SplitAdsDefLines(const std::string& bytes);
// Reads the file's lines (an unreadable file is an error, not an empty one).
xb::Result<std::vector<std::string>> ReadAdsDef(const std::string& path);
// Stores the lines in XADSPARAMS and applies lines 21 onwards that are not
// blank: rights checking, record cache, locking scheme, XADS_TS, XADS_DIR.
void ApplyAdsDef(Globals& g, const std::vector<std::string>& lines);

}  // namespace qz
