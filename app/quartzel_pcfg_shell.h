// The Qt side of the application shell: the window system that tells the
// main window when the "Editar" entries change, and the view of the main
// window (menu bar from the menu model, business toolbar, status bar,
// splash, exit-request notice, fade-in) with the input watcher that feeds
// the idle detector.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "shell/main_window_view.h"
#include "shell/principal.h"
#include "ui/qt/lock_keys.h"
#include "ui/qt/qt_ui.h"

class QLabel;
class QMenu;
class QToolBar;

namespace pcfg {

class ShellQtUi : public qz::QtUi {
 public:
  void MenuChanged() override {
    qz::QtUi::MenuChanged();
    if (principal) principal->RebuildMenu();
  }
  qz::PRINCIPAL* principal = nullptr;
};

class QtMainView : public QObject, public qz::MainWindowView {
 public:
  explicit QtMainView(ShellQtUi& ui);
  ~QtMainView() override;

  // Connects the view to the main window once it is constructed: toolbar,
  // posted-message wake-up, input watcher.
  void Attach(qz::PRINCIPAL& principal);
  // Shows the window maximised, fading in unless disabled or remote.
  void ShowMain();

  void SetTitle(const std::string& title) override;
  void MenuBarChanged(const qz::MenuBar& bar) override;
  void ShowSplash(const std::string& bitmap, int64_t ms) override;
  void CloseSplash() override;
  void ShowNotice(const std::vector<std::string>& lines) override;
  void StatusChanged() override;
  bool Minimized() const override;
  void FontsChanged() override;
  void EnableMainWindow(bool on) override;
  void Cascade() override;
  void Tile() override;
  void ArrangeIcons() override;
  void EndProcess(int code) override;

  bool ended() const { return ended_; }
  int exit_code() const { return exit_code_; }
  QMenu* PopupMenu(const std::string& caption) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddEntries(QMenu* menu, const std::vector<qz::MenuEntry>& entries);
  void Polish(QWidget* dialog_view);
  void ShowLockKeys();

  ShellQtUi& ui_;
  qz::PRINCIPAL* principal_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* splash_ = nullptr;
  QLabel* status_user_ = nullptr;
  QLabel* status_business_ = nullptr;
  QLabel* status_insert_ = nullptr;
  QLabel* status_num_ = nullptr;
  QLabel* status_caps_ = nullptr;
  qz::LockKeys lock_keys_;
  bool overwrite_ = false;
  bool ended_ = false;
  int exit_code_ = 0;
  bool dispatch_posted_ = false;
};

// Logs in offscreen as `user` on the installation `home` and saves the
// login dialog, the main window with the positions screen, two menus and
// the error dialog as PNG files in `out_dir`. Returns 0 on success.
int ShotSession(ShellQtUi& ui, const std::string& home, const std::string& user,
                const std::string& password, const std::string& out_dir);

}  // namespace pcfg
