// The Qt window system: an MDI main window hosting the screens as child
// windows, modal dialogs, message boxes with Spanish buttons, the waiting
// window, print preview, and the timer that drives the desktop's window
// timers from the program clock.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>

#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/window_system.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QLabel;
class QTimer;

namespace qz {

class DialogView;

class QtUi : public WindowSystem, public MessageBoxProvider {
 public:
  // Creates the main window (titled `title`) and installs itself as the
  // message-box provider and current desktop.
  explicit QtUi(const QString& title = QString::fromUtf8("Configuracion Nómina"));
  ~QtUi() override;

  Desktop& desktop() { return *desktop_; }
  QMainWindow* main_window() { return main_.get(); }
  QMdiArea* mdi() { return mdi_; }
  // Sizes every window to what its controls ask for, inside the work area
  // where its controls can give room (as a window opens).
  void FitWindows();
  // The popup the program adds its own menus next to ("Editar" is kept
  // second, after "&Archivo").
  QMenu* file_menu() { return file_menu_; }
  DialogView* ViewOf(WDIAG* w) const;

  // WindowSystem
  void Show(WDIAG& w) override;
  void Destroy(WDIAG& w) override;
  void RunModal(WDIAG& w) override;
  void Raise(WDIAG& w) override;
  void Minimize(WDIAG& w) override;
  void WaitShown(int id, const std::string& text) override;
  void WaitClosed(int id) override;
  void WaitProgress(int id, int64_t done, int64_t total, bool can_cancel) override;
  bool WaitCancelled(int id) override;
  QWidget* WaitWindow(int id) const;  // (tests and pictures)
  void MenuChanged() override;
  void Preview(const PrintDocument& doc) override;
  // --- printing and files (begin)
  PrintJobResult Print(const PrintDocument& doc) override;
  PrintJobResult WritePdf(const PrintDocument& doc, const std::string& path) override;
  void OpenDocument(const std::string& path) override;
  // --- printing and files (end)
  void Pump() override;
  void CollectLater() override;

  // MessageBoxProvider
  int Show(const std::string& text, const std::string& title, int style) override;

 private:
  std::unique_ptr<QMainWindow> main_;
  QMdiArea* mdi_ = nullptr;
  QMenu* file_menu_ = nullptr;
  QMenu* edit_menu_ = nullptr;
  QTimer* timer_ = nullptr;
  std::unique_ptr<Desktop> desktop_;
  std::map<WDIAG*, QPointer<QMdiSubWindow>> subs_;
  std::map<int, QPointer<QWidget>> waits_;
  std::map<int, bool> wait_cancelled_;
  bool collect_posted_ = false;
  MessageBoxProvider* previous_box_ = nullptr;
};

}  // namespace qz
