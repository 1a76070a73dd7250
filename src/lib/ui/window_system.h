// What a window system (Qt, or the scripted headless one) provides to the
// window library. Everything the screens see goes through Desktop and WDIAG;
// this interface is only the drawing and event side.
#pragma once

#include <cstdint>
#include <string>

namespace qz {

class WDIAG;
class Desktop;
struct PrintDocument;

// How a printed document fared on its way out (report_output.h turns it into
// the user's message).
struct PrintJobResult {
  enum Kind { kDone, kCancelled, kFailed } kind = kDone;
  std::string error;  // kFailed: what went wrong, in Spanish
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Creates the view of a window shown modeless (a screen, or an edit window).
  virtual void Show(WDIAG& w) = 0;
  // Drops the view of a window that ended.
  virtual void Destroy(WDIAG& w) = 0;
  // Runs `w` modal until it ends (WDIAG::ended()). The window already holds
  // its controls and has received WM_INITDIALOG.
  virtual void RunModal(WDIAG& w) = 0;
  // Brings a shown window to the front.
  virtual void Raise(WDIAG& w) { (void)w; }
  // Minimises a shown window (out of the way of the main window's menu).
  virtual void Minimize(WDIAG& w) { (void)w; }
  // The waiting window: shown, text changed, closed.
  virtual void WaitShown(int id, const std::string& text) = 0;
  virtual void WaitClosed(int id) = 0;
  // --- progress of a long process (lib/ui/progress.h): the waiting window
  // `id` shows a bar at `done` of `total` and, with `can_cancel`, a
  // "Cancelar" button; WaitCancelled tells whether it was pressed.
  virtual void WaitProgress(int id, int64_t done, int64_t total, bool can_cancel) {
    (void)id, (void)done, (void)total, (void)can_cancel;
  }
  virtual bool WaitCancelled(int id) {
    (void)id;
    return false;
  }
  // --- end of progress
  // The "Editar" popup changed (Desktop::edit_menu()).
  virtual void MenuChanged() {}
  // A printed document to preview (and print from the preview).
  virtual void Preview(const PrintDocument& doc) = 0;
  // --- printing and files (begin)
  // Sends a document to a printer the user picks in the system print dialog.
  virtual PrintJobResult Print(const PrintDocument& doc) {
    (void)doc;
    return {PrintJobResult::kFailed, "no hay impresoras disponibles"};
  }
  // Writes the document as PDF to `path` (which may be replaced).
  virtual PrintJobResult WritePdf(const PrintDocument& doc, const std::string& path) {
    (void)doc;
    (void)path;
    return {PrintJobResult::kFailed, "no se puede generar PDF"};
  }
  // Opens a file with the desktop's associated program (the shell's "open").
  virtual void OpenDocument(const std::string& path) { (void)path; }
  // --- printing and files (end)
  // Lets the screen repaint during a long loop.
  virtual void Pump() {}
  // A window ended: Desktop::Collect should run once the current event has
  // been handled (never from inside the ended window's own code).
  virtual void CollectLater() {}
};

}  // namespace qz
