// Saving the payroll parameters: F_PLAN7, F_PLAN, the employees' names in a
// new format, the scales and the hourly-cost factors, in one transaction.
#include "lib/data/add_once.h"
#include "lib/data/transaction.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "payroll/f_plan.h"

namespace qz {
namespace {

double Num(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

// The name as format 1 (first name, surnames) or 2 (surnames, first name).
std::string FormattedName(const xb::Table& t, int format) {
  const std::string nombre = FieldText(t, "NOMBRE_2"), ap1 = FieldText(t, "APELLIDO_1"),
                    ap2 = FieldText(t, "APELLIDO_2");
  if (format == 2) return ap1 + " " + ap2 + "," + nombre;
  return nombre + " " + ap1 + " " + ap2;
}

}  // namespace

void F_PLAN::Aceptar() {
  if (!TakeMain()) return;  // a refused value: nothing written, the window stays
  // Asked before anything is locked, so nobody waits on these rows while
  // the user reads the question.
  bool rewrite_names = false;
  if (has_plan_ && CopyNumber(copy_, "TIP_NOMBRE") != CopyNumber(loaded_, "TIP_NOMBRE"))
    rewrite_names = MESSAGE_BOX(kNameQuestion, "Advertencia", kMbOkCancel | kMbIconWarning) == 1;
  if (Save(rewrite_names)) Terminar(1);
}

bool F_PLAN::Save(bool rewrite_names) {
  START_TRANSACTION();
  // A business's rows are added once, even when another workstation (this
  // window, the employer's report) adds them at the same moment.
  const xb::Value key = xb::Value::Char(negocio_);
  auto own_row = [&](WDBTable& t) { t.FieldPut("NEGOCIO", key); };
  // 1. The complementary row, locked until the end.
  xb::Table& plan7 = f_plan7_->table();
  AddRowOnce(*f_plan7_, key, own_row);
  LockForModify(*f_plan7_);
  WriteRecord(plan7, copy_, {"NO_TRANS"});
  // 2. The parameters row, and the names in their new format.
  xb::Table& plan = f_plan_->table();
  AddRowOnce(*f_plan_, key, own_row);
  LockForModify(*f_plan_);
  if (rewrite_names) WriteNames();
  // 3. Every field; without per-employee defaults no payment default stays.
  if (CopyNumber(copy_, "SET_OPCION") == 0) {
    for (const auto& f : PaymentDefaultFields()) copy_[f] = xb::Value::Char("");
    copy_["TIPO_PAGO"] = xb::Value::Number(0);
    copy_["EFEC_X_BAN"] = xb::Value::Number(0);
  }
  const double red_costo = Num(plan, "RED_COSTO"), dec_costo = Num(plan, "DEC_COSTO"),
               dec_cost5 = Num(plan, "DEC_COST5");
  WriteRecord(plan, copy_, PlanFields());
  const bool rounding_changed = red_costo != CopyNumber(copy_, "RED_COSTO") ||
                                dec_costo != CopyNumber(copy_, "DEC_COSTO") ||
                                dec_cost5 != CopyNumber(copy_, "DEC_COST5");
  UnlockForModify(*f_plan_);
  has_plan_ = true;
  // 4. The scales.
  WriteScale(notice_);
  WriteScale(severance_);
  // 5. The hourly costs follow a new cost rounding (read from the row just
  // written; a new row compares with an empty one).
  if (rounding_changed) {
    WAIT wait(this, kRecalcText);
    FactorRecalcScope scope;
    scope.negocio = negocio_;
    scope.base_is_sum = false;
    scope.pump = [] { MULTITASK(); };
    auto done = RecalcEmployeeFactors(scope);
    wait.TERMINAR();
    if (!done.ok()) {
      ROLLBACK_TRANSACTION();
      MESSAGE_BOX("No se pudieron recalcular los empleados; no se guardó ningún cambio.\r\n" +
                      done.status().message(),
                  "Error", kMbIconStop);
      return false;
    }
  }
  // 6. The rest of the complementary row.
  WriteRecord(plan7, copy_, Plan7Fields());
  UnlockForModify(*f_plan7_);
  END_TRANSACTION();
  loaded_ = copy_;
  return true;
}

void F_PLAN::WriteNames() {
  WAIT wait(this, "Un momento por favor...");
  TablePtr pers = OpenTable(this, "ENC_PERS");
  xb::Table& t = pers->table();
  const int format = static_cast<int>(CopyNumber(copy_, "TIP_NOMBRE"));
  const int width = FieldWidth(t, "NOMBRE");
  std::optional<xb::Value> scope = xb::Value::Char(negocio_);
  // The key (business + code) does not hold the name: the walk is stable.
  if (t.SetOrder("ENC_PERS2").ok() && t.SetScope(scope, scope).ok()) {
    for (t.GoTop(); !t.Eof(); t.Skip(1)) {
      if (!LockForModify(*pers)) continue;
      t.Put("NOMBRE", xb::Value::Char(ToField(FormattedName(t, format), width)));
      UnlockForModify(*pers);
      MULTITASK();
    }
  }
  CloseTable(pers);
  wait.TERMINAR();
}

void F_PLAN::WriteScale(ScaleCopy& scale) {
  TablePtr source = OpenTable(this, scale.source);
  xb::Table& to = source->table();
  // Rows removed in the editor.
  for (uint32_t recno : scale.removed) {
    if (!to.GoTo(recno).ok() || to.Eof() || to.Deleted()) continue;
    if (FieldText(to, "NEGOCIO") != TrimRight(negocio_)) continue;
    if (!LockForModify(*source)) continue;
    source->Delete();
    UnlockForModify(*source);
  }
  scale.removed.clear();
  xb::Table& from = scale.rows->table();
  for (from.GoTop(); !from.Eof(); from.Skip(1)) {
    const double pos = Num(from, "POS");
    const bool empty =
        Num(from, "DIAS") == 0 && Num(from, "RANGO_I") == 0 && Num(from, "RANGO_F") == 0;
    if (pos == 0 && empty) continue;  // a blank row is not stored
    if (pos == 0) {
      AddNewRec(*source);
      to.Put("NEGOCIO", xb::Value::Char(negocio_));
    } else {
      if (!to.GoTo(static_cast<uint32_t>(pos)).ok() || to.Eof() || to.Deleted() ||
          !LockForModify(*source))
        continue;
      // A stored row the user emptied is removed, not kept with old values.
      if (empty) {
        source->Delete();
        UnlockForModify(*source);
        continue;
      }
    }
    for (const char* f : {"RANGO_I", "RANGO_F", "DIAS", "CANT_SAL"})
      if (to.FieldIndex(f) >= 0) to.Put(f, xb::Value::Number(Num(from, f)));
    UnlockForModify(*source);
    // The next "Aceptar" of this window updates the row it just appended.
    if (pos == 0 && LockForModify(*scale.rows)) {
      from.Put("POS", xb::Value::Number(to.RecNo()));
      UnlockForModify(*scale.rows);
    }
  }
  CloseTable(source);
}

}  // namespace qz
