#include "payroll/param_window.h"

namespace qz {

ParamWindow::ParamWindow(WDIAG& parent, const std::string& template_name, Bindings bindings,
                         RecordCopy* copy)
    : WDIAG(parent.desktop(), &parent, template_name),
      parent_(parent),
      bindings_(std::move(bindings)),
      copy_(copy) {}

ParamWindow::~ParamWindow() {
  OnNCDestroy = nullptr;
  Reenable();
}

void ParamWindow::Reenable() {
  if (!parent_disabled_) return;
  parent_disabled_ = false;
  Closed();
  parent_.ENABLEWINDOW(true);
}

bool ParamWindow::Init() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { Reenable(); };
  try {
    if (!INIT().ok()) {
      Reenable();
      return false;
    }
    ADD(1, [this] { Aceptar(); });
    ADD(2, [this] { Terminar(2); });
    if (on_init) on_init(*this);
    if (!CREATE().ok()) {
      Reenable();
      return false;
    }
    if (on_fill) on_fill(*this);
    ShowRecord(*this, bindings_, *copy_);
    if (on_shown) on_shown(*this);
  } catch (...) {
    Reenable();
    throw;
  }
  return true;
}

void ParamWindow::Aceptar() {
  RecordCopy work = *copy_;
  if (!TakeRecord(*this, bindings_, &work)) return;
  if (on_accept && !on_accept(*this, work)) return;
  *copy_ = std::move(work);
  Terminar(1);
}

}  // namespace qz
