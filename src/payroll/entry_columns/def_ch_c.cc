#include "payroll/entry_columns/def_ch_c.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"

namespace qz {

DEF_CH_C::DEF_CH_C(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(business) {}

DEF_CH_C::~DEF_CH_C() {
  OnNCDestroy = nullptr;
  CERRARBASES();
}

bool DEF_CH_C::Init() {
  try {
    return Open();
  } catch (...) {
    CERRARBASES();
    throw;
  }
}

bool DEF_CH_C::Open() {
  if (!ABRIRBASES() || !INIT().ok()) {
    CERRARBASES();
    return false;
  }
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  OnNCDestroy = [this] { CERRARBASES(); };
  if (!CREATE().ok()) return false;
  LOAD_DATOS();
  return true;
}

bool DEF_CH_C::ABRIRBASES() {
  f_plan_ = OpenTable(this, "F_PLAN");
  enc_tip_ = OpenTable(this, "ENC_TIP");
  return f_plan_ && enc_tip_;
}

void DEF_CH_C::CERRARBASES() {
  CloseTable(f_plan_);
  CloseTable(enc_tip_);
}

void DEF_CH_C::OnActivate() {
  // A form without "Editar" entries.
  desktop().MENUSET(0, this, negocio_);
}

bool DEF_CH_C::SeekParameters() {
  xb::Table& t = f_plan_->table();
  return t.SetOrder(1).ok() && t.Seek(xb::Value::Char(negocio_)).ok() && t.Found() &&
         FieldBytes(t, "NEGOCIO") == negocio_;
}

void DEF_CH_C::LOAD_DATOS() {
  for (int n = 1; n <= kSlots; ++n) {
    CCOMBOBOX list(*this, kFirstColumn + n - 1);
    list.CLEAR();
    list.ADD(kSinUso, "  ");
  }
  xb::Table& tip = enc_tip_->table();
  std::optional<xb::Value> scope = xb::Value::Char(negocio_);
  if (tip.SetOrder(1).ok() && tip.SetScope(scope, scope).ok()) {
    for (tip.GoTop(); !tip.Eof(); tip.Skip(1)) {
      const std::string text = FieldText(tip, "DESCRIP");
      const std::string code = FromField(xb::Value::Char(FieldBytes(tip, "CODIGO")));
      for (int n = 1; n <= kSlots; ++n) CCOMBOBOX(*this, kFirstColumn + n - 1).ADD(text, code);
    }
  }
  tip.SetScope(std::nullopt, std::nullopt);
  if (!SeekParameters()) return;
  const xb::Table& plan = f_plan_->table();
  // A stored code that is no longer a column type leaves its list without a
  // choice, and saving keeps it.
  for (int n = 1; n <= kSlots; ++n)
    CCOMBOBOX(*this, kFirstColumn + n - 1)
        .SEEKCARGO(FromField(xb::Value::Char(FieldBytes(plan, SlotField(n)))));
}

void DEF_CH_C::PROCESAR() {
  // Without the business's parameter row there is nothing to keep the
  // choice in; the window stays open with it.
  if (!SeekParameters()) {
    MESSAGE_BOX(kNoParameters, "Error", kMbIconStop);
    return;
  }
  WDBTable& plan = *f_plan_;
  if (!LockForModify(plan)) return;
  xb::Table& t = plan.table();
  for (int n = 1; n <= kSlots; ++n) {
    auto chosen = CCOMBOBOX(*this, kFirstColumn + n - 1).CURCARGO();
    if (!chosen) continue;
    const std::string field = SlotField(n);
    t.Put(field, xb::Value::Char(ToField(*chosen, FieldWidth(t, field))));
  }
  UnlockForModify(plan);
  Terminar(1);
}

}  // namespace qz
