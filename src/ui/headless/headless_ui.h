// The scripted window system: windows are their control values, the user is a
// script. Tests (and automation) open screens, type into controls, press
// buttons and choose "Editar" entries; modal dialogs are answered by scripts
// registered per template, message boxes by queued answers; everything shown
// (message boxes, waiting-window texts, printed documents) is recorded to be
// read back.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/print_document.h"
#include "lib/ui/window_system.h"

namespace qz {

class HeadlessUi : public WindowSystem, public MessageBoxProvider {
 public:
  // Installs itself as the message-box provider and current desktop.
  HeadlessUi();
  ~HeadlessUi() override;

  Desktop& desktop() { return *desktop_; }

  // --- scripts
  // The next modal dialog from `template_name` runs `script` (which types,
  // clicks and presses). A dialog still open after its script takes the next
  // script for the same template; with none left it is cancelled (2) and
  // reported in problems().
  void OnDialog(const std::string& template_name, std::function<void(WDIAG&)> script);
  // A standing script for every modal dialog that has no script of its own
  // (not used up): what a walk over many screens does with whatever form
  // comes. A dialog it leaves open is cancelled and reported in problems().
  void OnAnyDialog(std::function<void(WDIAG&)> script) { any_dialog_ = std::move(script); }
  // The answer of the next message box (1 = OK/Sí, 2 = Cancelar/No).
  // Unscripted boxes answer 1.
  void AnswerNext(int answer);
  // Runs `fn` whenever a message box is shown (before it is answered): what
  // the user does while a box waits, e.g. another workstation releasing a
  // record.
  void WhileBoxShown(std::function<void(const std::string& text)> fn) { on_box_ = std::move(fn); }

  struct Box {
    std::string text, title;
    int style;
    int answer;
  };
  const std::vector<Box>& boxes() const { return boxes_; }
  // Texts of the boxes shown since the last call (then forgets them).
  std::vector<std::string> TakeBoxTexts();
  const std::vector<std::string>& wait_texts() const { return wait_texts_; }
  bool wait_open() const { return !open_waits_.empty(); }
  const std::vector<PrintDocument>& previews() const { return previews_; }
  // --- progress of long processes
  // The user presses "Cancelar" once a waiting window's progress reaches
  // `done` (a negative value: never).
  void CancelWaitAt(int64_t done) { cancel_at_ = done; }
  struct ProgressShown {
    int id;
    int64_t done, total;
    bool can_cancel;
  };
  // Every redraw of a progress bar, in order.
  const std::vector<ProgressShown>& progress() const { return progress_; }
  // --- end of progress
  // Dialogs that were left without a script, scripts never used.
  std::vector<std::string> problems() const;

  // --- the user, one action at a time (each lets ended windows close)
  bool Press(WDIAG* w, int id);
  bool Type(WDIAG* w, int id, const std::string& text);
  bool Click(WDIAG* w, int id);
  bool Menu(const std::string& edit_caption);
  // Runs the window timers that are due (advance the fake clock first).
  int Idle();

  // --- WindowSystem
  void Show(WDIAG& w) override;
  void Destroy(WDIAG& w) override;
  void RunModal(WDIAG& w) override;
  void WaitShown(int id, const std::string& text) override;
  void WaitClosed(int id) override;
  void Preview(const PrintDocument& doc) override { previews_.push_back(doc); }
  void Pump() override { ++pumps_; }
  // How often a long loop let the window system breathe.
  int pumps() const { return pumps_; }
  void WaitProgress(int id, int64_t done, int64_t total, bool can_cancel) override;
  bool WaitCancelled(int id) override;
  // --- printing and files (begin)
  // Printed documents are captured; PDF files hold the pages' plain text.
  PrintJobResult Print(const PrintDocument& doc) override;
  PrintJobResult WritePdf(const PrintDocument& doc, const std::string& path) override;
  void OpenDocument(const std::string& path) override { opened_.push_back(path); }
  // The next print job: cancelled in the print dialog, or failed with `error`.
  void CancelNextPrint() { print_answers_.push_back({PrintJobResult::kCancelled, ""}); }
  void FailNextPrint(const std::string& error) {
    print_answers_.push_back({PrintJobResult::kFailed, error});
  }
  const std::vector<PrintDocument>& printed() const { return printed_; }
  const std::vector<std::string>& pdfs() const { return pdfs_; }
  const std::vector<std::string>& opened() const { return opened_; }
  // --- printing and files (end)

  // --- MessageBoxProvider
  int Show(const std::string& text, const std::string& title, int style) override;

  // Templates of the modal dialogs run so far, in order.
  const std::vector<std::string>& modal_log() const { return modal_log_; }

 private:
  std::unique_ptr<Desktop> desktop_;
  std::deque<std::pair<std::string, std::function<void(WDIAG&)>>> scripts_;
  std::deque<int> answers_;
  std::vector<Box> boxes_;
  size_t boxes_taken_ = 0;
  std::vector<std::string> wait_texts_;
  std::map<int, std::string> open_waits_;
  std::vector<PrintDocument> previews_;
  std::deque<PrintJobResult> print_answers_;
  std::vector<PrintDocument> printed_;
  std::vector<std::string> pdfs_, opened_;
  std::vector<std::string> problems_;
  std::vector<std::string> modal_log_;
  int pumps_ = 0;
  MessageBoxProvider* previous_box_ = nullptr;
  std::function<void(const std::string&)> on_box_;
  std::function<void(WDIAG&)> any_dialog_;
  std::vector<ProgressShown> progress_;
  int64_t cancel_at_ = -1;
};

}  // namespace qz
