// A sub-window of the payroll parameters (employer data, settlement text,
// payment defaults, action stages, bonus periods, certificate text, the
// scales): it edits the screen's copy of the record, never the table.
// "Aceptar" takes the controls into the copy (refusing a bad number or date
// with nothing taken) and closes; "Cancelar" leaves the copy as it was.
// While it is open the parameters window is disabled.
#pragma once

#include <functional>
#include <string>

#include "lib/ui/wdiag.h"
#include "payroll/field_binding.h"

namespace qz {

class ParamWindow : public WDIAG {
 public:
  ParamWindow(WDIAG& parent, const std::string& template_name, Bindings bindings,
              RecordCopy* copy);
  ~ParamWindow() override;

  // Run once the controls exist, before the window is shown: objects that
  // live on controls (a grid) must be there when the view is built.
  std::function<void(ParamWindow&)> on_init;
  // Run once the window is shown, before the copy is: fill drop-downs
  // and lists, register further buttons.
  std::function<void(ParamWindow&)> on_fill;
  // Run after the copy is shown (dependent drop-downs, enabled states).
  std::function<void(ParamWindow&)> on_shown;
  // Run on "Aceptar" after the bindings were taken into `work`: values the
  // bindings do not cover; false keeps the window open.
  std::function<bool(ParamWindow&, RecordCopy& work)> on_accept;

  bool Init();
  virtual void Aceptar();
  void Terminar(int result) { ENDDIALOG(result); }
  const RecordCopy& copy() const { return *copy_; }

 protected:
  virtual void Closed() {}

 private:
  void Reenable();

  WDIAG& parent_;
  Bindings bindings_;
  RecordCopy* copy_;
  bool parent_disabled_ = false;
};

}  // namespace qz
