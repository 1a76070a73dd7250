// Installation-wide settings the main window loads at construction, before
// the login: the first rows of DEFMAIL, F_SYS and FONTS. Older installations
// may lack a field; a missing field keeps its default.
#pragma once

#include <string>

#include "lib/data/wtable.h"

namespace qz {

// `display_colors` is the display's colour count (0 for true colour, which
// reports none).
void LoadInstallationSettings(void* parent, int display_colors = 0);

void LoadMailSettings(WDBTable& defmail);
void LoadSystemSettings(WDBTable& f_sys, int display_colors);
void LoadFonts(WDBTable& fonts);

// The local temporary folder: XTEMPPATH := {local_temp, path}, then the
// folder is checked (a probe file YES), created when missing, and given up
// with a message when neither works.
void SetLocalTempFolder(int local_temp, const std::string& local_path);

// Deletes this program's leftover temporary files from the local temporary
// folder (never from the shared one, which other workstations use).
void BORRAR_TEMPS();

}  // namespace qz
