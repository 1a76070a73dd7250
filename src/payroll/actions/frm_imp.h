// The print format of a customised action type (FRM_IMP, window "FRM_IMP"):
// the layout of the printed action as the form in front of the user now
// defines it — heading, the employee data it shows and the salary columns
// it changes — so the user sees what a document of the type will carry
// before saving.
#pragma once

#include <string>

#include "lib/ui/wdiag.h"

namespace qz {

// The printed layout of the type in editor `form` (the MOD_ACCI window).
std::string PrintFormatText(const WDIAG& form);

// Shows it; returns the dialog's result.
int FRM_IMP(WDIAG& form);

}  // namespace qz
