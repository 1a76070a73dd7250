// The dialog-usage log LOG_DIAG: one row per dialog opened, with the menu id
// that led to it, so that a supervisor can see who uses what (right click on
// a menu entry). Rows older than 240 days are recycled instead of growing
// the table forever.
#pragma once

#include <string>

namespace qz {

class Desktop;
class WDIAG;

// Whether dialogs from `template_name` are logged (the login, the waiting
// window, searches and print dialogs are not).
bool LoggedDialog(const std::string& template_name);

// NEW_LOG_DIAG: writes the row for `template_name` and clears the desktop's
// XID_MENU. Faults while writing are left to the caller.
void NEW_LOG_DIAG(Desktop& desktop, const std::string& template_name);

// Installs NEW_LOG_DIAG as the window library's dialog hook (faults there
// never stop the dialog from opening). The hook writes to `desktop`: the main
// window removes it when it goes (RemoveDialogLog), or a dialog opened later
// (another session's, a test's after the one that logged in) would write
// through a desktop that no longer exists.
void InstallDialogLog(Desktop& desktop);
void RemoveDialogLog();

}  // namespace qz
