#include "qzadmin_terminal.h"

#include <unistd.h>

#include <cstdio>

namespace qzadmin {

int TerminalBoxes::Show(const std::string& text, const std::string& title, int) {
  if (text == last_) return 1;
  last_ = text;
  std::string t = text;
  for (char& c : t)
    if (c == '\r') c = '\n';
  std::fprintf(stderr, "%s%s: %s\n", bar_shown_ ? "\n" : "", title.c_str(), t.c_str());
  bar_shown_ = false;
  return 1;
}

void TerminalBoxes::EndBar() {
  if (bar_shown_) std::fputc('\n', stderr);
  bar_shown_ = false;
}

void TerminalBoxes::DrawBar(const std::string& label, int64_t done, int64_t total) {
  if (!isatty(STDERR_FILENO) || total <= 0) return;
  const int width = 30;
  const int filled = static_cast<int>(width * done / total);
  std::fprintf(stderr, "\r%-15s [%s%s] %3d%%", label.c_str(), std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), static_cast<int>(100 * done / total));
  bar_shown_ = true;
}

int TerminalErrors::Ask(const std::string& line, const std::string&, bool, bool) {
  std::fprintf(stderr, "qzadmin: %s\n", line.c_str());
  return 2;  // Ignorar
}

TerminalSession::TerminalSession() {
  qz::SetMessageBoxProvider(&boxes);
  qz::SetErrorDialog(&errors);
}

TerminalSession::~TerminalSession() {
  qz::SetErrorDialog(nullptr);
  qz::SetMessageBoxProvider(nullptr);
}

}  // namespace qzadmin
