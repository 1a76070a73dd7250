#include "payroll/e_tippla.h"

#include "lib/data/transaction.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/payroll/money.h"
#include "lib/payroll/words.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

// The two quantity fields share CANTIDAD; the copy keeps them apart until
// the kind decides which one is stored.
constexpr const char* kPlanillasField = "_PLANILLAS";
constexpr const char* kDiasField = "_DIAS";

const Bindings& Fields() {
  static const Bindings b = {
      {E_TIPPLA::kDescrip, "DESCRIP", Bound::kText},
      {E_TIPPLA::kRotulo, "ROTULO", Bound::kText},
      {E_TIPPLA::kPorPlanillas, "TIPO", Bound::kRadio, 0},
      {E_TIPPLA::kPorDias, "TIPO", Bound::kRadio, 1},
      {E_TIPPLA::kPlanillas, kPlanillasField, Bound::kNumber},
      {E_TIPPLA::kLapso, "LAPSO_DIAS", Bound::kNumber},
      {E_TIPPLA::kDias, kDiasField, Bound::kNumber},
      {E_TIPPLA::kObligaDia, "OBLIGA_DIA", Bound::kCheck},
      {E_TIPPLA::kFactDiv, "FACT_DIV", Bound::kCheck},
      {E_TIPPLA::kValDiv, "VAL_DIV", Bound::kNumber},
      {E_TIPPLA::kEmisiones, "N_EMISION", Bound::kNumber},
      {E_TIPPLA::kFactMult, "FACT_MULT", Bound::kNumber},
      {E_TIPPLA::kMesComerc, "MES_COMERC", Bound::kNumber},
      {E_TIPPLA::kOtroFacto, "OTRO_FACTO", Bound::kNumber},
      {E_TIPPLA::kFactSem, "FACT_SEM", Bound::kNumber},
      {E_TIPPLA::kRenta + 0, "RENTA", Bound::kRadio, 0},
      {E_TIPPLA::kRenta + 1, "RENTA", Bound::kRadio, 1},
      {E_TIPPLA::kRenta + 2, "RENTA", Bound::kRadio, 2},
  };
  return b;
}

std::string DayCargo(int day) {
  std::string s = std::to_string(day);
  return std::string(2 - s.size(), ' ') + s;
}

}  // namespace

E_TIPPLA::E_TIPPLA(CatalogScreen& parent, const std::string& template_name, int mode,
                   uint32_t recno, xb::Table* table, const std::string& business)
    : WDIAG(parent.desktop(), &parent, template_name),
      parent_(parent),
      negocio_(business),
      tipo_(mode),
      recno_(mode == 1 ? recno : 0),
      t_tip_pla_(table) {}

E_TIPPLA::~E_TIPPLA() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void E_TIPPLA::CerrarBases() {
  if (parent_disabled_) {
    parent_disabled_ = false;
    parent_.ENABLEWINDOW(true);
  }
}

bool E_TIPPLA::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();
    throw;
  }
}

bool E_TIPPLA::Open() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { CerrarBases(); };
  if (!INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  ADD(kPorPlanillas, [this] { EnableFields(); });
  ADD(kPorDias, [this] { EnableFields(); });
  ADD(kFactDiv, [this] { EnableFields(); });
  oDia_ = std::make_unique<CCOMBOBOX>(*this, kDiaPago);
  if (!CREATE().ok()) {
    CerrarBases();
    return false;
  }
  for (int d = 1; d <= 7; ++d) oDia_->ADD(DIAS_EN_LETRAS(d), DayCargo(d));
  if (tipo_ == 1) {
    LoadRow();
  } else {
    SetCheck(kPorPlanillas, 1);
    SetCheck(kRenta, 1);
  }
  EnableFields();
  SetFocus(kCodigo);
  return true;
}

void E_TIPPLA::Terminar(int result) {
  ENDDIALOG(result);
}

void E_TIPPLA::LoadRow() {
  xb::Table& t = *t_tip_pla_;
  t.GoTo(recno_);
  auto code = t.Get("CODIGO");
  codigo_ = code.ok() && code->is_char() ? code->str() : std::string();
  codigo_.resize(2, ' ');
  RecordCopy row = ReadRecord(t);
  const bool by_days = CopyNumber(row, "TIPO") == 1;
  row[by_days ? kDiasField : kPlanillasField] = xb::Value::Number(CopyNumber(row, "CANTIDAD"));
  SetText(kCodigo, FieldText(t, "CODIGO"));
  ShowRecord(*this, Fields(), row);
  int day = static_cast<int>(CopyNumber(row, "DIA_PAGO"));
  if (day >= 1 && day <= 7) oDia_->SEEKCARGO(DayCargo(day));
}

void E_TIPPLA::EnableFields() {
  const bool by_days = Check(kPorDias) != 0;
  EnableControl(kPlanillas, !by_days);
  EnableControl(kLapso, !by_days);
  EnableControl(kDias, by_days);
  EnableControl(kDiaPago, by_days);
  EnableControl(kObligaDia, by_days);
  // The divisor means something only while the factor applies (it is
  // stored as 0 otherwise).
  EnableControl(kValDiv, Check(kFactDiv) != 0);
}

void E_TIPPLA::PROCESAR() {
  RecordCopy values;
  if (!TakeRecord(*this, Fields(), &values)) return;  // nothing written, window open
  const bool by_days = Check(kPorDias) != 0;
  values["CANTIDAD"] = xb::Value::Number(CopyNumber(values, by_days ? kDiasField : kPlanillasField));
  if (by_days) {
    if (auto cargo = oDia_->CURCARGO()) values["DIA_PAGO"] = xb::Value::Number(std::stoi(*cargo));
  }
  const bool fact_div = Check(kFactDiv) != 0;
  if (!fact_div) values["VAL_DIV"] = xb::Value::Number(0);

  CatalogSave save = parent_.SaveSettings(tipo_, this);
  save.recno = recno_;
  save.old_code = codigo_;
  std::string code = parent_.CodeFromText(Text(kCodigo));
  if (TrimRight(code).empty()) {
    MESSAGE_BOX(kBlankCode, "Error", kMbIconStop);
    return;
  }
  if (CatalogCodeTaken(save, code)) {
    MESSAGE_BOX(save.duplicate_message, "Error", kMbIconStop);
    return;
  }
  // The question comes before anything is locked: no other workstation
  // waits on this type while the user reads it.
  bool recalc = false;
  if (fact_div) {
    bool changed = true;
    if (tipo_ == 1 && t_tip_pla_->GoTo(recno_).ok() && !t_tip_pla_->Eof()) {
      auto old = t_tip_pla_->Get("VAL_DIV");
      changed = !old.ok() || !old->is_numeric() ||
                RoundHalfAway(old->number(), 5) != RoundHalfAway(CopyNumber(values, "VAL_DIV"), 5);
    }
    if (changed)
      recalc = MESSAGE_BOX(kRecalcQuestion, "Advertencia", kMbOkCancel | kMbIconWarning) == 1;
  }
  if (Save(code, values, recalc)) Terminar(1);
}

bool E_TIPPLA::Save(const std::string& code, const RecordCopy& values, bool recalc) {
  CatalogSave save = parent_.SaveSettings(tipo_, this);
  save.recno = recno_;
  save.old_code = codigo_;
  START_TRANSACTION();
  if (!BeginCatalogWrite(save, code)) {
    END_TRANSACTION();  // nothing was written
    return false;
  }
  xb::Table& t = *t_tip_pla_;
  t.Put("CODIGO", xb::Value::Char(code));
  std::set<std::string> fields = {"DESCRIP",    "ROTULO",    "FACT_DIV",  "FACT_MULT",
                                  "MES_COMERC", "OTRO_FACTO", "FACT_SEM", "N_EMISION",
                                  "OBLIGA_DIA", "CANTIDAD",  "TIPO",      "RENTA",
                                  "VAL_DIV"};
  if (CopyNumber(values, "TIPO") == 0) fields.insert("LAPSO_DIAS");
  if (values.count("DIA_PAGO")) fields.insert("DIA_PAGO");
  WriteRecord(t, values, fields);
  FinishCatalogWrite(save);
  if (recalc) {
    WAIT wait(this, kRecalcText);
    FactorRecalcScope scope;
    scope.negocio = negocio_;
    scope.payroll_type = code;
    scope.base_is_sum = true;
    scope.pump = [] { MULTITASK(); };
    auto done = RecalcEmployeeFactors(scope);
    wait.TERMINAR();
    if (!done.ok()) {
      ROLLBACK_TRANSACTION();
      parent_.oB()->REFRESHALL();
      MESSAGE_BOX("No se pudieron recalcular los empleados; no se guardó ningún cambio.\r\n" +
                      done.status().message(),
                  "Error", kMbIconStop);
      return false;
    }
  }
  END_TRANSACTION();
  return true;
}

}  // namespace qz
