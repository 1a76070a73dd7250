// Moving a finished installation into a folder that already has one (the
// installer's --force): only what the new installation contains is replaced.
#pragma once

#include <string>
#include <vector>

#include "xbase/status.h"

namespace qz {

// The name of the entry of `dir` called `name` in any spelling of upper and
// lower case (installations copied from Windows mix them); "" when none.
std::string FindEntry(const std::string& dir, const std::string& name);

// Moves every file of `from` into the same place under `to`, creating folders
// that are missing. A file of `to` with the same name in another case is
// removed first, and so are the index and memo files of a table that is
// replaced (a table's .DBF, .CDX and .FPT belong together). Each file removed
// is appended to `replaced`, relative to `to`.
xb::Status MergeInto(const std::string& from, const std::string& to,
                     std::vector<std::string>* replaced);

}  // namespace qz
