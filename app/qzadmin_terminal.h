// What the batch commands of qzadmin show instead of windows: message boxes
// and error dialogs become lines on stderr, the waiting window a progress
// bar (on a terminal only).
#pragma once

#include <cstdint>
#include <string>

#include "lib/errors/error_handler.h"
#include "lib/ui/message_box.h"

namespace qzadmin {

// Message boxes become lines on stderr; the same text repeated (a patience
// message every 100 ms while another user holds a row) is printed once.
class TerminalBoxes : public qz::MessageBoxProvider {
 public:
  int Show(const std::string& text, const std::string& title, int style) override;
  // Ends a progress bar's line before the next message.
  void EndBar();
  // Forgets the last text, so the next one is printed even when repeated.
  void Forget() { last_.clear(); }

  // Draws "label [#####     ]  50%" over the current line.
  void DrawBar(const std::string& label, int64_t done, int64_t total);

 private:
  std::string last_;
  bool bar_shown_ = false;
};

// The error handler's dialog: the error is printed and the operation ends.
class TerminalErrors : public qz::ErrorDialog {
 public:
  int Ask(const std::string& line, const std::string&, bool, bool) override;
};

// Installs both for the life of a batch command, and removes them again.
class TerminalSession {
 public:
  TerminalSession();
  ~TerminalSession();
  TerminalBoxes boxes;
  TerminalErrors errors;
};

}  // namespace qzadmin
