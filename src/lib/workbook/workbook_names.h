// Names of workbooks and sheets: the characters a sheet or file name may not
// carry, the temporary names reports and grid exports propose, and the
// folder they go to.
#pragma once

#include <string>

namespace qz {

// CORRECT_NAME: each of ":", "\", ".", "/", "#", "$", "%", "&", "!" becomes
// "-"; the file-name form replaces only "#", "$", "%", "&" and "!".
std::string CORRECT_NAME(const std::string& name, bool file_name_form = false);
// A sheet name a spreadsheet accepts: CORRECT_NAME, then "[", "]", "*", "?"
// also become "-", at most 31 characters, never empty (`fallback`).
std::string SheetName(const std::string& name, const std::string& fallback = "Hoja 1");
// "T" + the last 7 digits of the seconds since midnight (hundredths
// included, decimal point removed), from the program clock.
std::string TemporaryWorkbookName();
// The folder temporary workbooks go to, with a trailing "/": the configured
// local temporary folder + "TEMP/" when that option is on, the program's
// TEMP/ when a database access path is configured, else the program folder.
std::string WorkbookFolder();
// Drops a trailing ".XLS" or ".XLSX" (any case).
std::string WithoutWorkbookExtension(const std::string& name);

}  // namespace qz
