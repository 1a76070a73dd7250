#include "ui/headless/headless_ui.h"

#include <fstream>

namespace qz {

HeadlessUi::HeadlessUi() {
  desktop_ = std::make_unique<Desktop>(*this);
  previous_box_ = CurrentMessageBoxProvider();
  SetMessageBoxProvider(this);
  SetCurrentDesktop(desktop_.get());
}

HeadlessUi::~HeadlessUi() {
  desktop_.reset();
  if (CurrentMessageBoxProvider() == this) SetMessageBoxProvider(previous_box_);
}

void HeadlessUi::OnDialog(const std::string& template_name, std::function<void(WDIAG&)> script) {
  scripts_.emplace_back(template_name, std::move(script));
}

void HeadlessUi::AnswerNext(int answer) {
  answers_.push_back(answer);
}

std::vector<std::string> HeadlessUi::TakeBoxTexts() {
  std::vector<std::string> out;
  for (; boxes_taken_ < boxes_.size(); ++boxes_taken_) out.push_back(boxes_[boxes_taken_].text);
  return out;
}

std::vector<std::string> HeadlessUi::problems() const {
  std::vector<std::string> out = problems_;
  for (const auto& s : scripts_) out.push_back("script for " + s.first + " never used");
  for (int a : answers_) out.push_back("message-box answer " + std::to_string(a) + " never used");
  return out;
}

bool HeadlessUi::Press(WDIAG* w, int id) {
  bool ok = w && w->UserPress(id);
  desktop_->Collect();
  return ok;
}

bool HeadlessUi::Type(WDIAG* w, int id, const std::string& text) {
  bool ok = w && w->UserType(id, text);
  desktop_->Collect();
  return ok;
}

bool HeadlessUi::Click(WDIAG* w, int id) {
  bool ok = w && w->UserClick(id);
  desktop_->Collect();
  return ok;
}

bool HeadlessUi::Menu(const std::string& edit_caption) {
  bool ok = desktop_->ChooseEdit(edit_caption);
  desktop_->Collect();
  return ok;
}

int HeadlessUi::Idle() {
  int n = desktop_->RunDueTimers();
  desktop_->Collect();
  return n;
}

void HeadlessUi::Show(WDIAG& w) {
  (void)w;
}
void HeadlessUi::Destroy(WDIAG& w) {
  (void)w;
}

void HeadlessUi::RunModal(WDIAG& w) {
  modal_log_.push_back(w.template_name());
  while (!w.ended()) {
    auto it = scripts_.begin();
    while (it != scripts_.end() && it->first != w.template_name()) ++it;
    if (it == scripts_.end() && any_dialog_) {
      any_dialog_(w);
      if (!w.ended()) {
        problems_.push_back("dialog " + w.template_name() + " left open by the standing script");
        w.ENDDIALOG(2);
      }
      break;
    }
    if (it == scripts_.end()) {
      problems_.push_back("dialog " + w.template_name() + " left open without a script");
      w.ENDDIALOG(2);
      break;
    }
    auto script = std::move(it->second);
    scripts_.erase(it);
    script(w);
  }
}

void HeadlessUi::WaitShown(int id, const std::string& text) {
  open_waits_[id] = text;
  wait_texts_.push_back(text);
}

void HeadlessUi::WaitClosed(int id) {
  open_waits_.erase(id);
}

void HeadlessUi::WaitProgress(int id, int64_t done, int64_t total, bool can_cancel) {
  progress_.push_back({id, done, total, can_cancel});
}

bool HeadlessUi::WaitCancelled(int id) {
  for (auto it = progress_.rbegin(); it != progress_.rend(); ++it) {
    if (it->id == id) return it->can_cancel && cancel_at_ >= 0 && it->done >= cancel_at_;
  }
  return false;
}

int HeadlessUi::Show(const std::string& text, const std::string& title, int style) {
  int answer = 1;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back({text, title, style, answer});
  if (on_box_) on_box_(text);
  return answer;
}

// --- printing and files (begin)
PrintJobResult HeadlessUi::Print(const PrintDocument& doc) {
  PrintJobResult r;
  if (!print_answers_.empty()) {
    r = print_answers_.front();
    print_answers_.pop_front();
  }
  if (r.kind == PrintJobResult::kDone) printed_.push_back(doc);
  return r;
}

PrintJobResult HeadlessUi::WritePdf(const PrintDocument& doc, const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << doc.PlainText();
  out.close();
  if (!out) return {PrintJobResult::kFailed, "no se pudo escribir " + path};
  pdfs_.push_back(path);
  return {};
}
// --- printing and files (end)

}  // namespace qz
