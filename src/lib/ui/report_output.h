// Where a finished report goes: the preview, a printer picked in the system
// print dialog, a PDF file or a workbook. The report is written once as a
// PrintDocument; these calls hand the same document to each destination and
// tell the user, in a message box, when it could not get there.
#pragma once

#include <string>

#include "lib/ui/print_document.h"

namespace qz {

class Desktop;

// The preview window, from which the user may also print.
void PREVIEW_REPORT(Desktop& desktop, const PrintDocument& doc);

// The system print dialog, then the printer. True when the pages were sent;
// false when the user cancelled or the printer failed (the failure is shown
// with title "Error").
bool PRINT_REPORT(Desktop& desktop, const PrintDocument& doc);

// Writes `path` as PDF. The folder must exist (a missing folder is reported,
// not created: a mistyped path should not scatter folders). The file is
// written beside its final name and renamed when complete, so a failure
// never leaves a partial file under the final name; an existing file is
// replaced only by a complete one. True on success.
bool PDF_REPORT(Desktop& desktop, const PrintDocument& doc, const std::string& path);

}  // namespace qz
