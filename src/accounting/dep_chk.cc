#include "accounting/dep_chk.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/cell_click.h"
#include "lib/ui/message_box.h"

namespace qz {

DEP_CHK::DEP_CHK(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(business) {}

DEP_CHK::~DEP_CHK() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool DEP_CHK::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();
    throw;
  }
}

bool DEP_CHK::Open() {
  enc_dept_ = OpenTable(this, "ENC_DEPT");
  if (!enc_dept_ || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  xb::Table* t = &enc_dept_->table();
  grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, t);
  ADD(1, [this] { Terminar(1); });
  ADD(kTodos, [this] { Filter(kTodos); });
  ADD(kActivos, [this] { Filter(kActivos); });
  ADD(kInactivos, [this] { Filter(kInactivos); });
  OnNCDestroy = [this] { CerrarBases(); };
  if (!CREATE().ok()) return false;
  AGREGARCOL(*grid_, t, "Código    ", "CODIGO", std::string(15, 'X'));
  AGREGARCOL(*grid_, t, "Descrpción", "DESCRIP", std::string(40, 'X'));
  const char* captions[kFlags] = {"Pago Efect.", "Pago Cheques.", "Pago Elect.", "Provisiones",
                                  "Aguinaldo"};
  for (int n = 1; n <= kFlags; ++n) {
    AGREGARCOL(*grid_, t, captions[n - 1], FlagField(n), "X");
    const int col = kFirstFlag + n - 1;
    grid_->SetFormat(col, [](const xb::Value& v) {
      return v.is_numeric() && v.number() == 1 ? std::string("✓") : std::string(" ");
    });
    SetCellClick(*grid_, col, [this, n] { Flip(n); });
  }
  grid_->SHOWNUMBERS = false;
  grid_->AUTOSIZE = true;
  grid_->USERMOVE = false;
  grid_->USERSIZE = false;
  SetCheck(kTodos, 1);
  Filter(kTodos);
  return true;
}

void DEP_CHK::CerrarBases() {
  if (grid_) ClearCellClicks(*grid_);
  grid_.reset();
  CloseTable(enc_dept_);
}

void DEP_CHK::OnActivate() {
  // A list without "Editar" entries.
  desktop().MENUSET(0, this, negocio_);
}

void DEP_CHK::Filter(int which) {
  xb::Status st;
  if (which == kTodos) {
    st = BROWMARKS(*grid_, {{1, "ENC_DEPT"}, {2, "ENC_DEPT3"}}, 1, negocio_);
  } else {
    const std::string mark = which == kActivos ? "0" : "1";
    st = BROWMARKS(*grid_, {{1, "ENC_DEPT5"}, {2, "ENC_DEPT6"}}, 1, negocio_ + mark);
  }
  if (!st.ok())
    MESSAGE_BOX("No se pudo leer ENC_DEPT\r\n" + st.message(), "Alerta", kMbIconStop);
}

void DEP_CHK::Flip(int n) {
  const uint32_t rec = grid_->SelectedRecNo();
  WDBTable& t = *enc_dept_;
  if (rec == 0 || !t.table().GoTo(rec).ok() || !LockForModify(t)) return;
  // The lock re-read the row: the flip starts from what is stored now, and a
  // department another user deleted meanwhile is left alone.
  if (!t.table().Deleted()) {
    const std::string field = FlagField(n);
    t.table().Put(field, xb::Value::Number(FieldNumber(t.table(), field) == 1 ? 0 : 1));
  }
  UnlockForModify(t);
}

}  // namespace qz
