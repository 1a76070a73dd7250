// What a window system shows of the main window beyond the child windows
// (which the window library's Desktop hosts): the menu bar, the splash, the
// exit-request notice, the status bar, the window's own state, and the end
// of the process. The Qt program implements it with widgets; RecordingView
// keeps it as values for tests and automation.
#pragma once

#include <string>
#include <vector>

#include "shell/menu_model.h"

namespace qz {

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  virtual void SetTitle(const std::string& title) = 0;
  // The menu bar was rebuilt (MenuSet).
  virtual void MenuBarChanged(const MenuBar& bar) = 0;
  // The splash bitmap, closed after `ms` or by CloseSplash.
  virtual void ShowSplash(const std::string& bitmap, int64_t ms) = 0;
  virtual void CloseSplash() = 0;
  // The exit-request notice window (three lines).
  virtual void ShowNotice(const std::vector<std::string>& lines) = 0;
  // The status bar's texts changed (user, business, pane states).
  virtual void StatusChanged() = 0;
  virtual bool Minimized() const = 0;
  // The font settings (SYS_FONT: grid font and size, dialog font) were
  // loaded or changed: the windows show them.
  virtual void FontsChanged() {}
  // The whole main window enabled or not (a locked application).
  virtual void EnableMainWindow(bool on) = 0;
  // "Ventanas": the MDI frame's own arrangements.
  virtual void Cascade() {}
  virtual void Tile() {}
  virtual void ArrangeIcons() {}
  // Ends the process with `code` (the tables are already closed or flushed).
  virtual void EndProcess(int code) = 0;
};

class RecordingView : public MainWindowView {
 public:
  void SetTitle(const std::string& t) override { title = t; }
  void MenuBarChanged(const MenuBar& bar) override {
    menu_builds++;
    (void)bar;
  }
  void ShowSplash(const std::string& bitmap, int64_t ms) override {
    splash = bitmap;
    splash_ms = ms;
    splash_open = true;
  }
  void CloseSplash() override { splash_open = false; }
  void ShowNotice(const std::vector<std::string>& lines) override { notices.push_back(lines); }
  void StatusChanged() override {}
  void FontsChanged() override { fonts_applied++; }
  bool Minimized() const override { return minimized; }
  void EnableMainWindow(bool on) override { enabled = on; }
  void EndProcess(int code) override {
    ended = true;
    exit_code = code;
  }

  std::string title;
  int menu_builds = 0;
  int fonts_applied = 0;
  std::string splash;
  int64_t splash_ms = 0;
  bool splash_open = false;
  std::vector<std::vector<std::string>> notices;
  bool minimized = false;
  bool enabled = true;
  bool ended = false;
  int exit_code = -1;
};

}  // namespace qz
