// The waiting window of a long process, with a progress bar and a "Cancelar"
// button. The process says how much work there is, advances as it goes and
// asks whether the user wants to stop:
//
//   Progress p(screen, "Procesando Datos...");
//   p.SetTotal(count);
//   for (...) {
//     if (!p.Step()) break;  // the user pressed "Cancelar"
//     ...
//   }
//
// Step is cheap: the window is redrawn (and its button listened to) only
// when the shown percentage changes or a tenth of a second has passed.
#pragma once

#include <cstdint>
#include <string>

namespace qz {

class Desktop;
class WDIAG;

class Progress {
 public:
  // `owner` null: the current desktop.
  explicit Progress(WDIAG* owner, const std::string& text = "Procesando Datos...",
                    bool can_cancel = true);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void SetText(const std::string& text);
  // The amount of work; 0 = unknown (the bar only shows activity).
  void SetTotal(int64_t total);
  // Advances by `n`; false once the user asked to stop.
  bool Step(int64_t n = 1);
  // Whether the user pressed "Cancelar" (asks the window).
  bool Cancelled();
  void Close();

  int64_t done() const { return done_; }
  int64_t total() const { return total_; }

 private:
  void Show(bool force);

  Desktop* desktop_ = nullptr;
  int id_ = 0;
  bool open_ = false;
  bool can_cancel_;
  bool cancelled_ = false;
  int64_t done_ = 0;
  int64_t total_ = 0;
  int shown_percent_ = -1;
  int64_t shown_ms_ = 0;
};

}  // namespace qz
