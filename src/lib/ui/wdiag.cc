#include "lib/ui/wdiag.h"

#include "lib/data/date_time.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {

WDIAG::WDIAG(Desktop& desktop, WDIAG* parent, std::string template_name)
    : desktop_(desktop), parent_(parent), template_name_(std::move(template_name)) {}

WDIAG::~WDIAG() {
  Destroyed();
  desktop_.Forget(this);
}

xb::Status WDIAG::INIT() {
  if (tmpl_) return xb::Status::OK();
  auto t = LoadDialogTemplate(template_name_);
  if (!t.ok()) {
    MESSAGE_BOX("No se pudo abrir la ventana " + template_name_ + "\r\n" + t.status().message(),
                "Error", kMbIconStop);
    return t.status();
  }
  tmpl_ = *t;
  title_ = tmpl_->title;
  controls_.clear();
  by_id_.clear();
  Build(tmpl_->root, 0);
  return xb::Status::OK();
}

void WDIAG::Build(const TemplateNode& n, int group) {
  if (IsContainer(n.kind)) {
    int mine = next_group_++;
    for (const auto& c : n.items) Build(c, mine);
    return;
  }
  if (n.id == 0) return;
  ControlState c;
  c.id = n.id;
  c.kind = n.kind;
  c.node = &n;
  c.radio_group = group;
  if (n.kind == ControlKind::kButton || n.kind == ControlKind::kCheck ||
      n.kind == ControlKind::kRadio || n.kind == ControlKind::kLabel) {
    c.text = n.caption;
  }
  // An edit's options are how it is drawn ("password"), not entries.
  if (n.kind != ControlKind::kEdit)
    for (const auto& o : n.options) c.entries.push_back({o, o, false});
  by_id_[n.id] = controls_.size();
  controls_.push_back(std::move(c));
}

xb::Status WDIAG::CREATE() {
  XB_RETURN_IF_ERROR(INIT());
  desktop_.Shown(*this);
  return xb::Status::OK();
}

void WDIAG::ADD(int id, std::function<void()> block) {
  blocks_[id] = std::move(block);
}

void WDIAG::ENDDIALOG(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  desktop_.Ended(*this);
}

void WDIAG::Destroyed() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnNCDestroy) {
    auto fn = std::move(OnNCDestroy);
    OnNCDestroy = nullptr;
    fn();
  }
}

ControlState* WDIAG::Control(int id) {
  auto it = by_id_.find(id);
  return it == by_id_.end() ? nullptr : &controls_[it->second];
}

const ControlState* WDIAG::Control(int id) const {
  auto it = by_id_.find(id);
  return it == by_id_.end() ? nullptr : &controls_[it->second];
}

void WDIAG::ControlTouched(int id) {
  if (view_) view_->ControlChanged(id);
}

void WDIAG::SetText(int id, const std::string& text) {
  ControlState* c = Control(id);
  if (!c || c->text == text) return;
  c->text = text;
  c->caret = -1;  // new text: typing goes on at its end
  ControlTouched(id);
}

void WDIAG::SetCaret(int id, int offset) {
  ControlState* c = Control(id);
  if (!c) return;
  if (offset < 0 || offset >= static_cast<int>(c->text.size())) {
    c->caret = -1;
    return;
  }
  // Never inside a UTF-8 sequence: back to the start of its character.
  while (offset > 0 && (static_cast<unsigned char>(c->text[offset]) & 0xC0) == 0x80) --offset;
  c->caret = offset;
}

int WDIAG::Caret(int id) const {
  const ControlState* c = Control(id);
  if (!c) return 0;
  return c->caret < 0 || c->caret > static_cast<int>(c->text.size())
             ? static_cast<int>(c->text.size())
             : c->caret;
}

void WDIAG::InsertAtCaret(int id, const std::string& text) {
  ControlState* c = Control(id);
  if (!c) return;
  const int at = Caret(id);
  std::string now = c->text;
  now.insert(static_cast<size_t>(at), text);
  SetText(id, now);
  SetCaret(id, at + static_cast<int>(text.size()));
  ControlTouched(id);  // the view moves its cursor too
}

std::string WDIAG::Text(int id) const {
  const ControlState* c = Control(id);
  if (!c) return {};
  if (c->kind == ControlKind::kCombo && c->current >= 0 &&
      c->current < static_cast<int>(c->entries.size())) {
    return c->entries[c->current].text;
  }
  return c->text;
}

void WDIAG::SetCheck(int id, int state) {
  ControlState* c = Control(id);
  if (!c) return;
  if (c->kind == ControlKind::kRadio && state) {
    for (auto& o : controls_) {
      if (o.kind == ControlKind::kRadio && o.radio_group == c->radio_group && o.id != id &&
          o.check) {
        o.check = 0;
        ControlTouched(o.id);
      }
    }
  }
  if (c->check == state) return;
  c->check = state;
  ControlTouched(id);
}

int WDIAG::Check(int id) const {
  const ControlState* c = Control(id);
  return c ? c->check : 0;
}

void WDIAG::EnableControl(int id, bool on) {
  ControlState* c = Control(id);
  if (!c || c->enabled == on) return;
  c->enabled = on;
  ControlTouched(id);
}

bool WDIAG::ControlEnabled(int id) const {
  const ControlState* c = Control(id);
  return c && c->enabled;
}

void WDIAG::SetFocus(int id) {
  focus_ = id;
  desktop_.set_focus_window(this);
  if (view_) view_->FocusChanged(id);
}

void WDIAG::ClearEntries(int id) {
  ControlState* c = Control(id);
  if (!c) return;
  c->entries.clear();
  c->current = -1;
  ControlTouched(id);
}

void WDIAG::AddEntry(int id, const std::string& text, const std::string& cargo) {
  ControlState* c = Control(id);
  if (!c) return;
  c->entries.push_back({text, cargo, false});
  ControlTouched(id);
}

void WDIAG::SetCurrent(int id, int index) {
  ControlState* c = Control(id);
  if (!c) return;
  if (index < -1 || index >= static_cast<int>(c->entries.size())) index = -1;
  c->current = index;
  ControlTouched(id);
}

void WDIAG::SetSelected(int id, int index, bool on) {
  ControlState* c = Control(id);
  if (!c || index < 0 || index >= static_cast<int>(c->entries.size())) return;
  c->entries[index].selected = on;
  ControlTouched(id);
}

void WDIAG::SetDate(int id, int32_t julian) {
  SetText(id, julian == 0 ? std::string() : DateText(julian));
}

std::optional<int32_t> WDIAG::DateValue(int id) const {
  return ParseDateText(Text(id));
}

void WDIAG::SetTitle(const std::string& t) {
  title_ = t;
  if (view_) view_->WindowChanged();
}

void WDIAG::ENABLEWINDOW(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  if (view_) view_->WindowChanged();
  desktop_.ActionsChanged();  // its "Editar" entries follow
}

int WDIAG::SendMessage(int msg, int64_t wparam, int64_t lparam) {
  if (msg == kWmNcActivate || msg == kWmMdiActivate) {
    bool on = wparam != 0;
    if (shown_active_ != on) {
      shown_active_ = on;
      if (view_) view_->WindowChanged();
    }
  }
  if (proc) return proc(*this, msg, wparam, lparam);
  return 0;
}

bool WDIAG::UserType(int id, const std::string& text) {
  ControlState* c = Control(id);
  last_refused_ = false;
  if (!c || !c->enabled || !enabled_) return false;
  if (c->kind != ControlKind::kEdit && c->kind != ControlKind::kMemo) return false;
  if (c->node && c->node->readonly) return false;
  int limit = c->node ? c->node->width : 0;
  std::string picture = c->node ? c->node->picture : std::string();
  std::string accepted = FilterInput(text, picture, limit, &last_refused_);
  SetText(id, accepted);
  return true;
}

bool WDIAG::UserPress(int id) {
  ControlState* c = Control(id);
  // Buttons 1 and 2 (OK and Cancel, Enter and Escape) exist in every dialog
  // even when the template draws them with other ids.
  if (c && (!c->enabled || c->kind != ControlKind::kButton)) return false;
  if (!c && id != 1 && id != 2) return false;
  if (!enabled_) return false;
  // Each press is one user operation: a fault inside goes to the error
  // handler and the window stays as it was.
  if (proc) {
    RunOperation([&] { proc(*this, kWmCommand, id, 0); });
    return true;
  }
  auto it = blocks_.find(id);
  if (it != blocks_.end()) {
    auto block = it->second;  // the block may end and replace the window
    RunOperation(block);
  }
  return true;
}

bool WDIAG::UserClick(int id) {
  ControlState* c = Control(id);
  if (!c || !c->enabled || !enabled_) return false;
  if (c->kind == ControlKind::kCheck) {
    SetCheck(id, c->check ? 0 : 1);
  } else if (c->kind == ControlKind::kRadio) {
    SetCheck(id, 1);
  } else {
    return false;
  }
  if (proc) {
    RunOperation([&] { proc(*this, kWmCommand, id, 0); });
  } else {
    auto it = blocks_.find(id);
    if (it != blocks_.end()) {
      auto block = it->second;
      RunOperation(block);
    }
  }
  return true;
}

bool WDIAG::UserChooseIndex(int id, int index) {
  ControlState* c = Control(id);
  if (!c || !c->enabled || !enabled_ || c->kind != ControlKind::kCombo) return false;
  if (index < 0 || index >= static_cast<int>(c->entries.size())) return false;
  SetCurrent(id, index);
  // A screen that follows the choice (a dependent list, a field to enable)
  // registers a block on the combo.
  auto it = blocks_.find(id);
  if (it != blocks_.end()) {
    auto block = it->second;
    RunOperation(block);
  }
  return true;
}

bool WDIAG::UserChoose(int id, const std::string& text) {
  ControlState* c = Control(id);
  if (!c) return false;
  for (size_t i = 0; i < c->entries.size(); ++i) {
    if (c->entries[i].text == text) return UserChooseIndex(id, static_cast<int>(i));
  }
  return false;
}

bool WDIAG::UserSelect(int id, const std::string& text, bool on) {
  ControlState* c = Control(id);
  if (!c || !c->enabled || !enabled_ || c->kind != ControlKind::kList) return false;
  for (size_t i = 0; i < c->entries.size(); ++i) {
    if (c->entries[i].text == text) {
      SetSelected(id, static_cast<int>(i), on);
      // A screen that shows what goes with the selected entry (a set's
      // members) registers a block on the list.
      auto it = blocks_.find(id);
      if (it != blocks_.end()) {
        auto block = it->second;
        RunOperation(block);
      }
      return true;
    }
  }
  return false;
}

WBLISTBOX* WDIAG::Grid(int id) const {
  auto it = grids_.find(id);
  return it == grids_.end() ? nullptr : it->second;
}

TreeModel* WDIAG::Tree(int id) const {
  auto it = trees_.find(id);
  return it == trees_.end() ? nullptr : it->second;
}

int64_t SENDDLGITEMMESSAGE(WDIAG& dlg, int id, int msg, int64_t wparam, const std::string& text) {
  switch (msg) {
    case kWmSetText:
      dlg.SetText(id, text);
      return 1;
    case kBmGetCheck:
      return dlg.Check(id);
    case kBmSetCheck:
      dlg.SetCheck(id, static_cast<int>(wparam));
      return 0;
    default:
      return 0;
  }
}

std::string GETDLGITMTEXT(const WDIAG& dlg, int id) {
  return dlg.Text(id);
}

}  // namespace qz
