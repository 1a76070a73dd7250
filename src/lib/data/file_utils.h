// File utilities of the data layer: existence tests, structure copies,
// template copies, byte copies, record copies and table optimisation.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lib/data/wtable.h"

namespace qz {

// Whether program folder + folder + name + ".DBF" exists.
bool IS_FILE(void* parent, const std::string& name, const std::string& folder = "BASES");
// Creates program folder + folder + "/" + new name with the structure of `t`.
void COPY_STRUC(void* parent, WDBTable& t, const std::string& new_name, const std::string& folder);
void COPY_ST2(void* parent, int area, const std::string& new_name, const std::string& folder);
// Creates folder + "/" + new name from the PROFILE template (structure and index).
void DUP_FILE(void* parent, const std::string& template_name, const std::string& new_name,
              const std::string& folder);

enum CopyResult : int {
  kCopyOk = 0,
  kCopyTargetNotCreated = 1,
  kCopyShortWrite = 2,
  kCopySourceNotOpened = 3
};
// Byte-for-byte copy in blocks of 500 bytes, pumping the interface `pump`
// times after each block. The target is written under a temporary name and
// renamed, so a failed copy never leaves a half file under the real name.
int COPY_BFILE(const std::string& source, const std::string& target, int pump = 0);

// Fields 1..n of the current record into `values`, and back.
void COPY_REC1(WDBTable& t, std::vector<xb::Value>* values);
void COPY_REC2(WDBTable& t, const std::vector<xb::Value>& values);

// Removes a table's files (.DBF or given extension, .FPT, .CDX) if present.
void RemoveTableFiles(const std::string& path);

// Table optimisation: opens BASES/name (or the PROFILE template) exclusively,
// shows the name through `show_progress`, removes deleted records and
// rebuilds the indexes. A table in use elsewhere is a fault.
void SAVE_PACK(void* parent, const std::string& name,
               const std::function<void(const std::string&)>& show_progress = {},
               bool is_template = false);
// The tables "Optimizar Base de Datos" optimises, in order.
const std::vector<std::string>& PayrollTablesToOptimize();

}  // namespace qz
