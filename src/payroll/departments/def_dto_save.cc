// "&Aceptar" of the department editor: the checks, then the whole save.
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/departments/brow_dto.h"
#include "payroll/departments/def_dto.h"
#include "payroll/form_fields.h"

namespace qz {

using namespace def_dto;

namespace {
void Refuse(const char* text) {
  MESSAGE_BOX(text, "Error", kMbIconStop);
}
bool Chosen(WDIAG& w, int id) {
  return !TrimRight(CCOMBOBOX(w, id).CURCARGO().value_or("")).empty();
}
}  // namespace

bool DEF_DTO::Valid() {
  if (!Chosen(*this, kMoneda)) {
    Refuse(kNoCurrency);
    return false;
  }
  if (!Chosen(*this, kTipo)) {
    Refuse(kNoPayrollType);
    return false;
  }
  if (TrimRight(Text(kCodigo)).empty()) {
    Refuse(kNoCode);
    SetFocus(kCodigo);
    return false;
  }
  if (scratch_.layout.EmptySet()) {
    Refuse(kEmptySet);
    return false;
  }
  for (int id : {kUnidad, kCantPers})
    if (!TrimRight(Text(id)).empty() && !ParseNumber(Text(id))) {
      MESSAGE_BOX(NotANumberMessage(Text(id)), "Error", kMbIconStop);
      SetFocus(id);
      return false;
    }
  if (dept::CodeTaken(negocio_, parent_.CodeFromText(Text(kCodigo)), tipo_ == 1 ? recno_ : 0)) {
    Refuse(kCodeExists);
    SetFocus(kCodigo);
    return false;
  }
  return true;
}

void DEF_DTO::PROCESAR() {
  if (!Valid()) return;
  dept::SaveRequest r;
  r.negocio = negocio_;
  r.mode = tipo_;
  r.recno = recno_;
  r.old_code = codigo_;
  r.code = parent_.CodeFromText(Text(kCodigo));
  r.enc_dept = parent_.main_wdb();
  r.write_header = [this](xb::Table& t) { WriteHeader(t); };
  r.types = types_;
  r.scratch = &scratch_;
  r.owner = this;
  if (!dept::SaveDepartment(r)) return;  // told; the window keeps what was typed
  if (tipo_ == 0) parent_.oB()->NMAXREC += 1;
  parent_.oB()->REFRESHALL();
  Terminar(1);
}

}  // namespace qz
