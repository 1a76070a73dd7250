// The "ERROR DE SISTEMA" dialog (ERROR_SPEC) over the error handler's core:
// it shows the error line and the report, and lets the user retry the
// operation (when the error allows it), ignore it (when a default exists) or
// quit the program. An error raised while the dialog is up never opens a
// second one.
#pragma once

#include <string>

#include "lib/errors/error_handler.h"

namespace qz {

class Desktop;
class WDIAG;

class ERROR_SPEC : public ErrorDialog {
 public:
  enum : int { kErrorLine = 501, kDetails = 502, kRetry = 201, kIgnore = 202, kQuit = 1 };
  enum Result : int { kResultRetry = 1, kResultIgnore = 2, kResultQuit = 3 };

  explicit ERROR_SPEC(Desktop& desktop) : desktop_(desktop) {}
  // Installs itself as the handler's dialog (and removes itself when destroyed).
  void Install();
  ~ERROR_SPEC() override;

  int Ask(const std::string& error_line, const std::string& details, bool can_retry,
          bool can_default) override;

  bool shown() const { return shown_; }
  int asked() const { return asked_; }

 private:
  int Ctrl(WDIAG& dlg, int msg, int64_t wparam);

  Desktop& desktop_;
  std::string errMessage, sMessage;
  bool CanRetry = false, CanDefault = false;
  int outResult = kResultIgnore;
  bool shown_ = false;
  int asked_ = 0;
};

}  // namespace qz
