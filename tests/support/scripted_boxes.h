// Message boxes and error dialogs for tests: every box shown is recorded,
// answers come from a queue (1 when it is empty), and a hook may act when a
// box appears (e.g. the other user releasing a lock).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "lib/errors/error_handler.h"
#include "lib/ui/message_box.h"

namespace qztest {

struct ShownBox {
  std::string text, title;
  int style = 0;
};

class ScriptedBoxes : public qz::MessageBoxProvider {
 public:
  ScriptedBoxes() { qz::SetMessageBoxProvider(this); }
  ~ScriptedBoxes() override { qz::SetMessageBoxProvider(nullptr); }
  int Show(const std::string& text, const std::string& title, int style) override {
    shown.push_back({text, title, style});
    if (on_show) on_show(shown.back());
    if (answers.empty()) return 1;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<ShownBox> shown;
  std::deque<int> answers;
  std::function<void(const ShownBox&)> on_show;
};

class ScriptedErrorDialog : public qz::ErrorDialog {
 public:
  ScriptedErrorDialog() { qz::SetErrorDialog(this); }
  ~ScriptedErrorDialog() override { qz::SetErrorDialog(nullptr); }
  int Ask(const std::string& line, const std::string& details, bool can_retry,
          bool can_default) override {
    lines.push_back(line);
    this->details.push_back(details);
    retry_offered.push_back(can_retry);
    (void)can_default;
    if (on_ask) on_ask(line);
    if (answers.empty()) return 2;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<std::string> lines, details;
  std::vector<bool> retry_offered;
  std::deque<int> answers;                         // 1 Reintentar, 2 Ignorar, 3 Salir
  std::function<void(const std::string&)> on_ask;  // runs while the dialog is up
};

}  // namespace qztest
