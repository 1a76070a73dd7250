// Files the program hands to the user (PDF documents, workbooks) appear
// under their final name only when complete: they are written to a side
// file in the same folder and then published by a rename (or, when an
// existing file must not be replaced, by a link that fails if the name is
// taken, so two workstations never overwrite each other's file).
#pragma once

#include <string>

#include "xbase/status.h"

namespace qz {

// The folder part of `path` ("." when it has none).
std::string FolderOf(const std::string& path);
bool FolderExists(const std::string& folder);
// A hidden name beside `final_path`, unique to this process and call,
// keeping the final extension (some writers insist on it).
std::string SideFileName(const std::string& final_path);
// Moves `side` to `final_path`. With `replace` false an existing
// `final_path` is kept and Exists is returned; the side file then stays for
// another name. On any other failure the side file is removed.
xb::Status PublishFile(const std::string& side, const std::string& final_path, bool replace);
// The system's reason for the last failed call, in Spanish when known.
std::string SystemErrorText(int err);

}  // namespace qz
