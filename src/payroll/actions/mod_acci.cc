#include "payroll/actions/mod_acci.h"

#include "lib/data/transaction.h"
#include "lib/ui/catalog_data.h"
#include "payroll/accion_e.h"
#include "payroll/actions/frm_imp.h"
#include "payroll/code_lists.h"
#include "payroll/form_fields.h"
#include "payroll/lookup_lists.h"

namespace qz {

std::string MOD_ACCI::ColumnField(const char* base, int n) {
  return n == 0 ? std::string(base) : std::string(base) + std::to_string(n + 1);
}

std::string MOD_ACCI::NoColumnMessage(int n) {
  return "Debe seleccionar la columna del Valor #" + std::to_string(n + 1);
}

void MOD_ACCI::BuildControls() {
  oSerial_ = std::make_unique<CCOMBOBOX>(*this, kSerial);
  oEtapa_ = std::make_unique<CCOMBOBOX>(*this, kEtapa);
  for (int n = 0; n < kColumns; ++n) {
    oColumna_[n] = std::make_unique<CCOMBOBOX>(*this, kColumnaCombo + n * kColumnStep);
    ADD(kColumna + n * kColumnStep, [this, n] { ColumnChecked(n); });
  }
  ADD(kFormato, [this] { ShowPrintFormat(); });
}

void MOD_ACCI::Fill() {
  FillSerials(*oSerial_, this, Negocio());
  FillCodes(*oEtapa_, this, "ETAP_PLA", Negocio());
  oEtapa_->ADD(E_TIPACC::kDefaultStage, E_TIPACC::kDefaultStageCargo);
  // Separator lines hold no value an action could change.
  auto valued = [](const xb::Table& t) { return NumberField(t, "TIPO") != 4; };
  for (int n = 0; n < kColumns; ++n)
    FillLookup(*this, kColumnaCombo + n * kColumnStep,
               LookupSource("ENC_TIP", "ENC_TIP", Negocio(), "CODIGO", "DESCRIP", valued));
}

void MOD_ACCI::ColumnChecked(int n) {
  const int base = n * kColumnStep;
  const bool on = Check(kColumna + base) == 1;
  if (!on) {
    SetCurrent(kColumnaCombo + base, -1);
    SetCheck(kFirstSuma + base, 1);
  }
  EnableControl(kColumnaCombo + base, on);
  for (int r = 0; r < 3; ++r) EnableControl(kFirstSuma + base + r, on);
}

void MOD_ACCI::LoadDefaults() {
  for (int n = 0; n < kColumns; ++n) ColumnChecked(n);
}

void MOD_ACCI::LoadRow(const xb::Table& t) {
  LoadCheck(kImpSal, t, "IMP_SAL");
  LoadCheck(kIngNuevo, t, "ING_NUEVO");
  LoadCheck(kIncConti, t, "INC_CONTI");
  for (int i = 0; i < kFieldCount; ++i) LoadCheck(kFirstField + i, t, kFieldFlags[i]);
  LoadCombo(*oSerial_, t, "SERIAL");
  LoadCombo(*oEtapa_, t, "ETAPA_INI");
  for (int n = 0; n < kColumns; ++n) {
    const int base = n * kColumnStep;
    LoadCheck(kColumna + base, t, ColumnField("COLUMNA", n));
    ColumnChecked(n);
    oColumna_[n]->SEEKCARGO(FieldText(t, ColumnField("COD_COLUM", n)));
    const int suma = static_cast<int>(FieldNumber(t, ColumnField("SUMA_COL", n)));
    SetCheck(kFirstSuma + base + (suma >= 0 && suma <= 2 ? suma : 0), 1);
  }
  const std::string checks = FieldBytes(t, "CHECKS");
  for (int i = 0; i < kChecks; ++i)
    SetCheck(kFirstCheck + i, i < static_cast<int>(checks.size()) && checks[i] == '1' ? 1 : 0);
}

bool MOD_ACCI::Validate(const std::string& code) {
  (void)code;
  for (int n = 0; n < kColumns; ++n) {
    if (Check(kColumna + n * kColumnStep) == 1 && !oColumna_[n]->CURCARGO())
      return Refuse(NoColumnMessage(n), kColumnaCombo + n * kColumnStep);
  }
  return true;
}

void MOD_ACCI::WriteFields(xb::Table& t) {
  auto flag = [&t](const std::string& field, bool on) {
    if (t.FieldIndex(field) >= 0) t.Put(field, xb::Value::Number(on ? 1 : 0));
  };
  flag("IMP_SAL", Check(kImpSal) == 1);
  flag("ING_NUEVO", Check(kIngNuevo) == 1);
  flag("INC_CONTI", Check(kIncConti) == 1);
  for (int i = 0; i < kFieldCount; ++i) flag(kFieldFlags[i], Check(kFirstField + i) == 1);
  PutCombo(*oSerial_, t, "SERIAL");
  // Without a chosen stage the actions start in the business's default one.
  std::optional<std::string> stage = oEtapa_->CURCARGO();
  std::string stored = !stage || *stage == E_TIPACC::kDefaultStageCargo
                           ? DefaultInitialStage(this, Negocio())
                           : ToField(*stage, 0);
  stored.resize(FieldWidth(t, "ETAPA_INI"), ' ');
  t.Put("ETAPA_INI", xb::Value::Char(stored));
  for (int n = 0; n < kColumns; ++n) {
    const int base = n * kColumnStep;
    const bool on = Check(kColumna + base) == 1;
    flag(ColumnField("COLUMNA", n), on);
    const std::string code_field = ColumnField("COD_COLUM", n);
    // An unchecked column keeps no column code an action could still apply.
    if (on) {
      PutCombo(*oColumna_[n], t, code_field);
    } else {
      t.Put(code_field, xb::Value::Char(std::string(FieldWidth(t, code_field), ' ')));
    }
    int suma = 0;
    for (int r = 0; r < 3; ++r)
      if (Check(kFirstSuma + base + r) == 1) suma = r;
    t.Put(ColumnField("SUMA_COL", n), xb::Value::Number(on ? suma : 0));
  }
  std::string checks(kChecks, '0');
  for (int i = 0; i < kChecks; ++i)
    if (Check(kFirstCheck + i) == 1) checks[i] = '1';
  t.Put("CHECKS", xb::Value::Char(checks));
  // Blocks belong to the employee module: kept as they are, 0 on a new type.
  if (mode() == 0)
    for (int b = 1; b <= 6; ++b) t.Put("BLOQUE" + std::to_string(b), xb::Value::Number(0));
}

void MOD_ACCI::PROCESAR() {
  // The actions of the type move to its new code all together or not at
  // all: half of them under the old code would belong to no type.
  const bool renames = mode() == 1 && parent().CodeFromText(Text(kCodigo)) != loaded_code();
  if (renames) START_ATOMIC_TRANSACTION();
  RecordEditor::PROCESAR();
  if (renames) END_TRANSACTION();
}

void MOD_ACCI::ShowPrintFormat() {
  FRM_IMP(*this);
}

}  // namespace qz
