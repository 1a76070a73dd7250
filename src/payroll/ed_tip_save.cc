// Saving a column type (PROCESAR): the checks, then in one transaction the
// row (with a changed code carried into the tables that use it), its
// bracket rows and, when the user agrees, the employees' hourly-cost factors.
#include "lib/data/transaction.h"
#include "lib/errors/fault.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/def_tip.h"
#include "payroll/ed_tip.h"

namespace qz {
namespace {

using namespace ed_tip;

constexpr const char* kDuplicate = "Código de tipo ya definido...";
constexpr const char* kUnderscore = "El Código no puede iniciar con el caracter _";

void Refuse(const std::string& text) {
  MESSAGE_BOX(text, "Error", kMbIconStop);
}

}  // namespace

bool ED_TIP::Valid() {
  // Numbers first: a refused value writes nothing.
  std::vector<int> numbers = {kValor, kPorcentaje, kMontoCompuesto};
  for (const auto& b : ColumnTypeBindings())
    if (b.kind == Binding::kNumber) numbers.push_back(b.control);
  for (int id : numbers) {
    if (!ControlEnabled(id) || TrimRight(Text(id)).empty() || ParseNumber(Text(id))) continue;
    Refuse(NotANumberMessage(Text(id)));
    SetFocus(id);
    return false;
  }
  auto chosen = [](const CCOMBOBOX& c) {
    auto cargo = c.CURCARGO();
    return cargo && !TrimRight(*cargo).empty();
  };
  if (kind_ == 3 && !chosen(*oMoneda_)) {
    Refuse("Falta definir el tipo de moneda");
    return false;
  }
  if (Check(kInfo) && !chosen(*oMonedaInfo_)) {
    Refuse("Falta definir el tipo de moneda para la columna informativa");
    return false;
  }
  if (Check(kDeuda) && !chosen(*oConcepto_)) {
    Refuse("Falta definir el tipo concepto a aplicar a la deuda");
    return false;
  }
  return true;
}

void ED_TIP::WriteFields(const std::string& code) {
  xb::Table& t = *parent_.main_table();
  auto num = [&](const char* field, double n) { t.Put(field, xb::Value::Number(n)); };
  auto text = [&](const char* field, const std::string& utf8) {
    t.Put(field, xb::Value::Char(ToField(utf8, FieldWidth(t, field))));
  };
  t.Put("CODIGO", xb::Value::Char(code));
  text("DESCRIP", Text(kDescrip));
  num("TIPO", kind_);
  num("VALOR", kind_ == 1   ? Number(kValor)
               : kind_ == 2 ? Number(kPorcentaje)
               : kind_ == 3 ? Number(kMontoCompuesto)
                            : 0);
  num("TIPO_MONTO", kind_ != 2              ? 0
                    : Check(kMontoTotal)       ? 2
                    : Check(kMontoNoDeducible) ? 1
                                               : 0);
  num("DUPLICA", kind_ == 4 ? 1 : 0);
  num("FACTOR_2", Check(kSignMinus) ? 0 : 1);
  const bool constant = Check(kFactor4) != 0;
  num("AFECTA_F4", constant && Check(kAfectaF4Minus) ? 0 : 1);
  num("AFECTA_F5", constant && Check(kAfectaF5Minus) ? 0 : 1);
  // The composite item's own settings mean nothing for the other kinds.
  const bool composite = kind_ == 3;
  text("MONEDA", composite ? oMoneda_->CURCARGO().value_or("") : "");
  num("TIPO_TABLA", composite ? table_.tipo_tabla : 0);
  num("DIA_TABLA", composite && table_.tipo_tabla == 2 ? table_.dia_tabla : 0);
  num("RESTA_COMP", composite && table_.tipo_tabla == 2 ? table_.resta_comp : 0);
  text("COL_BASE", composite && table_.tipo_tabla == 3 ? table_.col_base : "");
  for (const auto& b : ColumnTypeBindings()) {
    const bool on = b.enabled_by == 0 || Check(b.enabled_by) != 0;
    switch (b.kind) {
      case Binding::kCheck:
        num(b.field, on && Check(b.control) ? 1 : 0);
        break;
      case Binding::kNumber:
        num(b.field, on ? Number(b.control) : b.off);
        break;
      case Binding::kText:
        text(b.field, on ? Text(b.control) : "");
        break;
      case Binding::kCombo: {
        std::string cargo = on ? CCOMBOBOX(*this, b.control).CURCARGO().value_or("") : "";
        text(b.field, cargo);
        break;
      }
    }
  }
}

ED_TIP::Recalc ED_TIP::RecalcNeeded() const {
  // A column that starts following the hourly cost needs its factors too.
  if (Check(kValDepend) && (tipo_ == 0 || !val_depend_ || Number(kValor3) != valor3_))
    return Recalc::kThisColumn;
  if (tipo_ == 1 && (Check(kValBase) != 0) != val_base_) return Recalc::kDependents;
  return Recalc::kNone;
}

void ED_TIP::RecalcFactors(const std::string& column_type) {
  WAIT wait(this, kRecalcWait);
  FactorRecalcScope scope;
  scope.negocio = negocio_;
  scope.column_type = column_type;
  scope.base_is_sum = true;
  scope.pump = [] { MULTITASK(); };
  auto done = RecalcEmployeeFactors(scope);
  wait.TERMINAR();
  // The error handler rolls the whole save back.
  if (!done.ok())
    ThrowFault(kGenRead, done.status().message(), "", "RecalcEmployeeFactors");
}

void ED_TIP::PROCESAR() {
  if (!Valid()) return;
  CatalogSave save = parent_.SaveSettings(tipo_, this);
  save.recno = recno_;
  save.old_code = codigo_;
  const std::string code = parent_.CodeFromText(Text(kCodigo));
  if (TrimRight(code).empty()) {
    Refuse(kBlankCode);
    return;
  }
  if (CatalogCodeTaken(save, code)) {
    Refuse(kDuplicate);
    return;
  }
  if (code[0] == '_') {
    Refuse(kUnderscore);
    return;
  }
  // Asked before anything is locked: no other workstation waits on this
  // one's rows while the user makes up their mind.
  Recalc recalc = RecalcNeeded();
  if (recalc != Recalc::kNone &&
      MESSAGE_BOX(kRecalcQuestion, "Advertencia", kMbOkCancel | kMbIconWarning) != 1)
    recalc = Recalc::kNone;  // the type is saved all the same
  START_TRANSACTION();
  if (!BeginCatalogWrite(save, code)) {
    END_TRANSACTION();  // nothing was written
    return;
  }
  WriteFields(code);
  FinishCatalogWrite(save);
  scratch_->Save(negocio_, tipo_ == 1 ? codigo_ : code, code);
  if (recalc != Recalc::kNone)
    RecalcFactors(recalc == Recalc::kThisColumn ? code : std::string());
  END_TRANSACTION();
  parent_.oB()->REFRESHALL();
  Terminar(1);
}

}  // namespace qz
