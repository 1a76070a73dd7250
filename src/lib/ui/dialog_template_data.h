// The dialog templates as text, generated at build time from
// resources/dialogs/*.json by embed_templates.cmake (see CMakeLists.txt), so
// an installed program needs no resources folder. A folder set with
// SetDialogTemplateDir still wins, so an installation can adjust a window.
#pragma once

namespace qz::dialog_data {

struct File {
  const char* name;  // template name as the file is named ("MODIPUESTO")
  const char* text;
};

extern const File kFiles[];
extern const int kFileCount;

}  // namespace qz::dialog_data
