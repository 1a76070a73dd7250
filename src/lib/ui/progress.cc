#include "lib/ui/progress.h"

#include "lib/clock.h"
#include "lib/ui/desktop.h"

namespace qz {
namespace {

// The longest a long process goes without redrawing its bar.
constexpr int64_t kRedrawMs = 100;

}  // namespace

Progress::Progress(WDIAG* owner, const std::string& text, bool can_cancel)
    : desktop_(owner ? &owner->desktop() : CurrentDesktop()), can_cancel_(can_cancel) {
  if (!desktop_) return;
  id_ = desktop_->NextWaitId();
  open_ = true;
  desktop_->window_system().WaitShown(id_, text);
  Show(true);
}

Progress::~Progress() {
  Close();
}

void Progress::SetText(const std::string& text) {
  if (open_) desktop_->window_system().WaitShown(id_, text);
}

void Progress::SetTotal(int64_t total) {
  total_ = total < 0 ? 0 : total;
  Show(true);
}

bool Progress::Step(int64_t n) {
  done_ += n;
  Show(false);
  return !cancelled_;
}

bool Progress::Cancelled() {
  if (open_ && can_cancel_ && !cancelled_)
    cancelled_ = desktop_->window_system().WaitCancelled(id_);
  return cancelled_;
}

void Progress::Show(bool force) {
  if (!open_) return;
  int percent = total_ > 0 ? static_cast<int>(done_ * 100 / total_) : -1;
  int64_t now = CurrentClock().TickMs();
  if (!force && percent == shown_percent_ && now - shown_ms_ < kRedrawMs) return;
  shown_percent_ = percent;
  shown_ms_ = now;
  desktop_->window_system().WaitProgress(id_, done_, total_, can_cancel_);
  Cancelled();
}

void Progress::Close() {
  if (!open_) return;
  open_ = false;
  desktop_->window_system().WaitClosed(id_);
}

}  // namespace qz
