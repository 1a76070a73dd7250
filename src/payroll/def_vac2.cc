#include "payroll/def_vac2.h"

#include <cstdio>

#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

// STR(n, 8, 2) of the DET_VAC key.
std::string Str82(double n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%8.2f", n);
  return buf;
}

}  // namespace

void MNT_VAC2::LoadDefaults() {
  SetText(kCodigo, TrimRight(static_cast<DEF_VAC2&>(parent()).type()));
}

void MNT_VAC2::LoadRow(const xb::Table& t) {
  ShowNumber(kMes, t, "MES", "9999.99");
  ShowNumber(kDiaMes, t, "D_MES", "9999.99");
  ShowNumber(kDiaAnho, t, "D_ANHO", "9999.99");
}

bool MNT_VAC2::MonthTaken(double months) {
  xb::Table& t = table();
  const std::string& type = static_cast<DEF_VAC2&>(parent()).type();
  uint32_t here = t.Eof() ? 0 : t.RecNo();
  bool taken = false;
  if (t.Seek(xb::Value::Char(Negocio() + type + Str82(months))).ok() && t.Found()) {
    for (; !t.Eof() && !taken; t.Skip(1)) {
      if (FieldNumber(t, "MES") != months || TrimRight(FieldText(t, "CODIGO")) != TrimRight(type))
        break;
      taken = mode() == 0 || t.RecNo() != loaded_recno();
    }
  }
  if (here) t.GoTo(here);
  return taken;
}

void MNT_VAC2::PROCESAR() {
  for (int id : {kMes, kDiaMes, kDiaAnho})
    if (TrimRight(Text(id)).empty()) {
      Refuse(kBlankFields, id);
      return;
    }
  if (!NumbersValid({kMes, kDiaMes, kDiaAnho})) return;
  const double months = Number(kMes);
  if (MonthTaken(months)) {
    Refuse(kMonthTaken, kMes);
    return;
  }
  DEF_VAC2& days = static_cast<DEF_VAC2&>(parent());
  CatalogSave save = days.SaveSettings(mode(), this);
  save.recno = loaded_recno();
  save.old_code = days.type();
  WDBTable& w = *days.main_wdb();
  xb::Table& t = w.table();
  if (mode() == 1) {
    // The row the window loaded, still there (checked again once locked).
    bool gone = CheckEditedRow(save) != EditedRow::kSame;
    if (!gone) {
      t.GoTo(save.recno);
      gone = !LockForModify(w) || CheckEditedRow(save) != EditedRow::kSame;
      if (gone && !t.Eof()) UnlockForModify(w);
    }
    if (gone) {
      MESSAGE_BOX(kRowDeletedMeanwhile, "Atención", kMbIconWarning);
      days.oB()->REFRESHALL();
      return;
    }
  } else {
    if (!AddNewRec(w)) return;
    w.FieldPut("NEGOCIO", xb::Value::Char(Negocio()));
    w.FieldPut("CODIGO", xb::Value::Char(days.type()));
    days.oB()->NMAXREC += 1;
  }
  t.Put("MES", xb::Value::Number(months));
  t.Put("D_MES", xb::Value::Number(Number(kDiaMes)));
  t.Put("D_ANHO", xb::Value::Number(Number(kDiaAnho)));
  FinishCatalogWrite(save);
  Terminar(1);
}

DEF_VAC2::DEF_VAC2(CatalogScreen& owner, const std::string& type)
    : EditedCatalog<MNT_VAC2>(owner.desktop(), "DEF_VAC2", owner.Negocio(), Setup()),
      owner_(owner),
      type_(type) {}

DEF_VAC2::~DEF_VAC2() {
  ReleaseOwner();
}

CatalogSetup DEF_VAC2::Setup() {
  CatalogSetup s;
  s.name = "VAC2";
  s.table = "DET_VAC";
  s.tag = "DET_VAC";
  s.key_width = 4;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "XXXX"},
               {"Meses de Inicio", "MES", "9,999.99"},
               {"Día Vac. x Mes", "D_MES", "9,999.99"},
               {"Día Vac. x Año", "D_ANHO", "9,999.99"}};
  s.delete_question = "Desea borrar el registro?";
  s.edit_template = "MNT_VAC2";
  return s;
}

DEF_VAC2* DEF_VAC2::Open(CatalogScreen& owner, const std::string& type, const std::string& descrip) {
  auto screen = std::make_unique<DEF_VAC2>(owner, type);
  DEF_VAC2* raw = screen.get();
  owner.desktop().Adopt(std::move(screen));
  owner.ENABLEWINDOW(false);
  raw->owner_disabled_ = true;
  bool ok = false;
  RunOperation([&] { ok = raw->Init(); });
  if (!ok) {
    raw->ENDDIALOG(2);
    owner.desktop().Collect();
    return nullptr;
  }
  raw->SetTitle(raw->title() + ": " + descrip);
  return raw;
}

void DEF_VAC2::ConfigBrow() {
  CatalogScreen::ConfigBrow();
  // Only the days of this type.
  xb::Status st = BROWMARKS(*oB(), {{1, setup().tag}}, 1, Negocio() + type_);
  if (!st.ok()) MESSAGE_BOX("No se pudo leer DET_VAC\r\n" + st.message(), "Alerta", kMbIconStop);
}

void DEF_VAC2::CerrarBases() {
  CatalogScreen::CerrarBases();
  ReleaseOwner();
}

void DEF_VAC2::ReleaseOwner() {
  if (!owner_disabled_) return;
  owner_disabled_ = false;
  if (desktop().Alive(&owner_)) owner_.ENABLEWINDOW(true);
}

}  // namespace qz
