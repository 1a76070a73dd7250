#include "payroll/def_r_ho.h"

#include "lib/errors/error_handler.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/form_fields.h"

namespace qz {
namespace {

std::vector<BoundField> Fields() {
  std::vector<BoundField> f = {{DEF_R_HO::kRotBase, "ROT_BASE", BoundField::kText, ""}};
  for (int n = 1; n <= DEF_R_HO::kRanges; ++n) {
    f.push_back({DEF_R_HO::kRangHor + n, "RANG_HOR" + std::to_string(n), BoundField::kNumber, "9999"});
    f.push_back({DEF_R_HO::kRangPax + n, "RANG_PAX" + std::to_string(n), BoundField::kNumber, "9999"});
  }
  return f;
}

// Combo id and F_PLAN7 field of column n (1..20).
int ColumnId(int n) {
  return n == 1 ? DEF_R_HO::kColumnaBase : DEF_R_HO::kColumna + n;
}
std::string ColumnField(int n) {
  return n == 1 ? "HORA_BASE" : "HORA_" + std::to_string(n - 1);
}

}  // namespace

DEF_R_HO::DEF_R_HO(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(business) {}

DEF_R_HO::~DEF_R_HO() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool DEF_R_HO::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();
    throw;
  }
}

bool DEF_R_HO::Open() {
  if (!AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(1, [this] { Terminar(1); });
  ADD(kGuardar, [this] { Guardar(); });
  OnNCDestroy = [this] { CerrarBases(); };
  if (!CREATE().ok()) return false;
  Fill();
  Load();
  return true;
}

bool DEF_R_HO::AbrirBases() {
  f_plan7_ = OpenTable(this, "F_PLAN7");
  enc_tip_ = OpenTable(this, "ENC_TIP");
  return f_plan7_ && enc_tip_;
}

void DEF_R_HO::CerrarBases() {
  CloseTable(f_plan7_);
  CloseTable(enc_tip_);
}

void DEF_R_HO::Terminar(int result) {
  ENDDIALOG(result);
}

void DEF_R_HO::OnActivate() {
  // A form without "Editar" entries.
  desktop().MENUSET(0, this, negocio_);
}

void DEF_R_HO::Fill() {
  xb::Table& tip = enc_tip_->table();
  for (int n = 1; n <= kRanges; ++n) {
    const char* role = n == 1 ? "VAL_BASE" : "VAL_DEPEND";
    AddEntry(ColumnId(n), kNinguna, "");
    AddBusinessRows(*this, ColumnId(n), tip, negocio_, "DESCRIP",
                    [role](const xb::Table& t) { return NumberField(t, role) == 1; });
  }
}

bool DEF_R_HO::SeekRow() {
  xb::Table& t = f_plan7_->table();
  return t.SetOrder(1).ok() && t.Seek(xb::Value::Char(negocio_)).ok() && t.Found() &&
         FieldText(t, "NEGOCIO") == TrimRight(FromField(xb::Value::Char(negocio_)));
}

void DEF_R_HO::Load() {
  if (!SeekRow()) return;  // no row yet: everything blank, written on "Guardar"
  xb::Table& t = f_plan7_->table();
  LoadBound(*this, t, Fields());
  for (int n = 1; n <= kRanges; ++n) {
    CCOMBOBOX combo(*this, ColumnId(n));
    std::string code = TrimRight(FieldText(t, ColumnField(n)));
    // A stored code that is no longer offered stays unselected, and so kept.
    if (!code.empty()) combo.SEEKCARGO(code);
  }
}

bool DEF_R_HO::Validate() {
  if (!BoundNumbersValid(*this, Fields())) return false;
  // The budget rows read "previous + 1 a bound": bounds must rise.
  for (int base : {kRangHor, kRangPax}) {
    double previous = 0;
    for (int n = 1; n <= kRanges; ++n) {
      double bound = ParseNumber(Text(base + n)).value_or(0);
      if (bound == 0) continue;
      if (bound < 0 || bound <= previous) {
        MESSAGE_BOX("Cada rango debe ser mayor que el anterior", "Error", kMbIconStop);
        SetFocus(base + n);
        return false;
      }
      previous = bound;
    }
  }
  return true;
}

void DEF_R_HO::Guardar() {
  if (!Validate()) return;
  WDBTable& w = *f_plan7_;
  xb::Table& t = w.table();
  if (SeekRow()) {
    if (!LockForModify(w)) return;
  } else {
    if (!AddNewRec(w)) return;
    t.Put("NEGOCIO", xb::Value::Char(negocio_));
  }
  WriteBound(*this, t, Fields());
  for (int n = 1; n <= kRanges; ++n) {
    // A drop-down left without a choice keeps the stored code.
    if (auto cargo = CCOMBOBOX(*this, ColumnId(n)).CURCARGO())
      t.Put(ColumnField(n), xb::Value::Char(ToField(*cargo, FieldWidth(t, ColumnField(n)))));
  }
  UnlockForModify(w);
}

}  // namespace qz
