#include "accounting/e_mappla.h"

#include "accounting/map_pla.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "payroll/code_lists.h"

namespace qz {
namespace {

// The combos in the order "Aceptar" checks them, with their field and the
// message of a missing choice.
struct Choice {
  int id;
  const char* field;
  const char* missing;
};
const Choice kChoices[] = {
    {E_MAPPLA::kDepto, "DEPTO", "Falta seleccionar el departamento"},
    {E_MAPPLA::kPuesto, "PUESTO", "Falta seleccionar el puesto"},
    {E_MAPPLA::kColumna, "COD_COLUMN", "Falta seleccionar la columna"},
    {E_MAPPLA::kLiga, "LIGA_CONTA", "Falta seleccionar la liga contable"}};

}  // namespace

E_MAPPLA::E_MAPPLA(MAP_PLA& parent, int mode)
    : WDIAG(parent.desktop(), &parent, "E_MAPPLA"), parent_(parent), tipo_(mode) {}

E_MAPPLA::~E_MAPPLA() {
  OnNCDestroy = nullptr;
  if (parent_disabled_ && desktop().Alive(&parent_)) parent_.ENABLEWINDOW(true);
}

void E_MAPPLA::Release() {
  if (!parent_disabled_) return;
  parent_disabled_ = false;
  parent_.ENABLEWINDOW(true);
}

bool E_MAPPLA::Init() {
  try {
    return Open();
  } catch (...) {
    Release();
    throw;
  }
}

bool E_MAPPLA::Open() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { Release(); };
  if (!INIT().ok()) {
    Release();
    return false;
  }
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  if (!CREATE().ok()) {
    Release();
    return false;
  }
  const std::string& business = parent_.Negocio();
  CCOMBOBOX depto(*this, kDepto), puesto(*this, kPuesto), columna(*this, kColumna),
      liga(*this, kLiga);
  FillCodes(depto, this, "ENC_DEPT", business);
  FillCodes(puesto, this, "PUESTOS", business);
  FillCodes(columna, this, "ENC_TIP", business);
  FillLinks(liga, this, business, "06");
  if (tipo_ == 1) {
    // The row selected in the list; saving writes this record and no other.
    recno_ = parent_.SelectedRecNo();
    xb::Table& t = *parent_.main_table();
    t.GoTo(recno_);
    for (const Choice& c : kChoices)
      CCOMBOBOX(*this, c.id).SEEKCARGO(FromField(xb::Value::Char(FieldBytes(t, c.field))));
    SetCheck(kEstadistica, FieldNumber(t, "STATISTIC") == 1 ? 1 : 0);
  } else {
    depto.SEEKCARGO(FromField(xb::Value::Char(parent_.department())));
  }
  SetFocus(kDepto);
  return true;
}

bool E_MAPPLA::Taken(const std::string& key) const {
  xb::Table& t = *parent_.main_table();
  const uint32_t here = t.Eof() ? 0 : t.RecNo();
  bool taken = false;
  if (t.Seek(xb::Value::Char(key)).ok() && t.Found()) {
    for (; !taken && !t.Eof(); t.Skip(1)) {
      std::string row = FieldBytes(t, "NEGOCIO") + FieldBytes(t, "DEPTO") + FieldBytes(t, "PUESTO") +
                        FieldBytes(t, "COD_COLUMN") + FieldBytes(t, "LIGA_CONTA");
      if (row != key) break;
      taken = t.RecNo() != recno_;
    }
  }
  if (here) t.GoTo(here);
  return taken;
}

void E_MAPPLA::PROCESAR() {
  std::string values[4];
  xb::Table& t = *parent_.main_table();
  std::string key = parent_.Negocio();
  for (int i = 0; i < 4; ++i) {
    auto chosen = CCOMBOBOX(*this, kChoices[i].id).CURCARGO();
    if (!chosen || TrimRight(*chosen).empty()) {
      MESSAGE_BOX(kChoices[i].missing, "Error", kMbIconStop);
      SetFocus(kChoices[i].id);
      return;
    }
    values[i] = ToField(*chosen, FieldWidth(t, kChoices[i].field));
    key += values[i];
  }
  // The tag holds the whole combination: seeking it finds every row that has it.
  if (!t.SetOrder(parent_.setup().tag).ok()) return;
  if (Taken(key)) {
    MESSAGE_BOX(kTaken, "Error", kMbIconStop);
    return;
  }
  WDBTable& table = *parent_.main_wdb();
  if (tipo_ == 1) {
    if (!t.GoTo(recno_).ok() || !LockForModify(table)) return;
    // The lock re-read the row: another user may have deleted it meanwhile.
    if (t.Deleted() || FieldBytes(t, "NEGOCIO") != parent_.Negocio()) {
      UnlockForModify(table);
      MESSAGE_BOX(kRowDeletedMeanwhile, "Atención", kMbIconWarning);
      parent_.oB()->REFRESHALL();
      return;
    }
  } else {
    if (!AddNewRec(table)) return;
    t.Put("NEGOCIO", xb::Value::Char(parent_.Negocio()));
  }
  for (int i = 0; i < 4; ++i) t.Put(kChoices[i].field, xb::Value::Char(values[i]));
  t.Put("STATISTIC", xb::Value::Number(Check(kEstadistica) ? 1 : 0));
  const uint32_t saved = t.RecNo();
  UnlockForModify(table);
  // The list shows the department of the row just saved.
  parent_.SelectDepartment(values[0]);
  parent_.oB()->SelectRecNo(saved);
  Terminar(1);
}

}  // namespace qz
