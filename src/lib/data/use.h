// Opening and closing tables by name: USE and KILLTABLA.
//
// A name becomes a path under the program folder: BASES/ by default, the
// business's sub-folder of BASES when it holds its own copy of the table,
// names cut to 8 characters. A name with a "." asks for a private temporary
// copy of the PROFILE template of that name, created under TEMP/ with a
// unique name and deleted when closed.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "lib/data/wtable.h"

namespace qz {

struct UseOptions {
  std::string tag;
  bool shared = true;
  bool read_only = false;
  std::optional<std::string> folder;  // relative to the base; default "BASES/"
  std::string driver;                 // default: DEF_RDD
  bool absolute = false;              // base is `root` instead of the program folder
  std::string root;
};

using TablePtr = std::unique_ptr<WDBTable>;

// Opens a table (waiting patiently while another user blocks it). A table
// that cannot be opened at all is a fault.
TablePtr USE(void* parent, const std::string& name, const UseOptions& options = {});
TablePtr USE(void* parent, const std::string& name, const std::string& tag);

// Closes a table, or parks it in the file bag inside a server transaction;
// deletes a temporary copy's files. Leaves `t` empty.
void KILLTABLA(TablePtr& t, bool force = false);
// Closes every table of the file bag.
void CLEAR_FILEBAG();

// What KILLTABLA does to the object (also run when an object is destroyed
// without KILLTABLA).
void ReleaseTableObject(WDBTable& t, bool force);

// The path USE opens for `name` (no temporary copies).
std::string TablePath(const std::string& name, const UseOptions& options = {});
// The folder temporary copies go to (ends with a separator).
std::string TempFolder();
// A file name "T" + 7 digits + "." + EXT_MODULO not yet used in `folder`.
std::string UniqueTempName(const std::string& folder);

// Folder arguments accept the system's backslashes.
std::string NormalizeFolder(std::string folder);

}  // namespace qz
