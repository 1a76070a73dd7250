#include "shell/error_dialog.h"

#include "lib/ui/desktop.h"

namespace qz {

void ERROR_SPEC::Install() {
  SetErrorDialog(this);
}

ERROR_SPEC::~ERROR_SPEC() {
  SetErrorDialog(nullptr);
}

int ERROR_SPEC::Ask(const std::string& error_line, const std::string& details, bool can_retry,
                    bool can_default) {
  // A fault inside the dialog itself (a repaint reading a broken table)
  // must not stack dialogs: it is ignored.
  if (shown_) return kResultIgnore;
  shown_ = true;
  ++asked_;
  errMessage = error_line;
  sMessage = details;
  CanRetry = can_retry;
  CanDefault = can_default;
  outResult = kResultIgnore;
  DIALOG_BOX(desktop_, "ERROR_SPEC", nullptr,
             [this](WDIAG& dlg, int msg, int64_t w, int64_t) { return Ctrl(dlg, msg, w); });
  shown_ = false;
  return outResult;
}

int ERROR_SPEC::Ctrl(WDIAG& dlg, int msg, int64_t wparam) {
  if (msg == kWmInitDialog) {
    dlg.SetText(kErrorLine, errMessage);
    dlg.SetText(kDetails, sMessage);
    dlg.EnableControl(kRetry, CanRetry);
    dlg.EnableControl(kIgnore, CanDefault);
    dlg.SetFocus(CanRetry ? kRetry : (CanDefault ? kIgnore : kQuit));
    return 1;
  }
  if (msg != kWmCommand) return 0;
  switch (wparam) {
    case kRetry:
      if (CanRetry) {
        outResult = kResultRetry;
        dlg.ENDDIALOG(kResultRetry);
      }
      break;
    case kIgnore:
      if (CanDefault) {
        outResult = kResultIgnore;
        dlg.ENDDIALOG(kResultIgnore);
      }
      break;
    case kQuit:
      outResult = kResultQuit;
      dlg.ENDDIALOG(kResultQuit);
      break;
    case 2:
      // Escape or the frame: the gentlest choice the error allows; with
      // neither retry nor ignore allowed the user must say "Salir".
      if (CanDefault) {
        outResult = kResultIgnore;
        dlg.ENDDIALOG(kResultIgnore);
      } else if (CanRetry) {
        outResult = kResultRetry;
        dlg.ENDDIALOG(kResultRetry);
      }
      break;
    default:
      break;
  }
  return 1;
}

}  // namespace qz
