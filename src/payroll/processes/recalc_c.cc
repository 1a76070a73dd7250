#include "payroll/processes/recalc_c.h"

#include <cmath>
#include <cstdlib>

#include "lib/data/locking.h"
#include "lib/errors/fault.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/settings/multitask.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"

namespace qz {

RECALC_C::RECALC_C(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool RECALC_C::AbrirBases() {
  return Open(enc_tip_, "ENC_TIP") && Open(det_dept_, "DET_DEPT") && Open(enc_pers_, "ENC_PERS") &&
         Open(det_pers_, "DET_PERS");
}

void RECALC_C::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kMultiple, DepartmentTreeRule::IncludingInactive());
  AddMarkButtons();
  CCOMBOBOX combo(*this, kColumna);
  ForEachRow(enc_tip_->table(), "ENC_TIP", negocio_, [&](xb::Table& t) {
    if (Number(t, "DUPLICA") == 0) combo.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO"));
  });
  ADD(kAceptar, [this] { Procesar(); });
}

std::optional<double> RECALC_C::Rate(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (c != ',' && c != ' ') digits += c;
  if (digits.empty()) return 0.0;
  char* end = nullptr;
  const double percent = std::strtod(digits.c_str(), &end);
  if (end == digits.c_str() || *end != '\0' || !std::isfinite(percent)) return std::nullopt;
  return percent / 100;
}

void RECALC_C::Procesar() {
  const auto column = CCOMBOBOX(*this, kColumna).CURCARGO();
  if (!column || column->empty()) return Refuse(kNoColumn);
  const std::vector<std::string> deptos = ChosenDepartments();
  if (deptos.empty()) return Refuse(kNoDepartment);
  const std::optional<double> rate = Rate(Text(kIncremento));
  if (!rate) {
    Refuse("Revise el incremento digitado");
    SetFocus(kIncremento);
    return;
  }
  xb::Table& tip = enc_tip_->table();
  const bool base_column = SeekPrefix(tip, "ENC_TIP", negocio_ + *column) &&
                           Number(tip, "VAL_BASE") == 1;

  const bool done = RunAtomic("Procesando Datos...", [&](Progress& progress) {
    std::vector<std::string> raised;
    xb::Table& depts = enc_dept().table();
    for (const std::string& depto : deptos) {
      const std::string name =
          SeekPrefix(depts, "ENC_DEPT", negocio_ + depto) ? FieldText(depts, "DESCRIP") : "";
      progress.SetText("Departamento : " + name);
      if (!SeekPrefix(det_dept_->table(), "DET_DEPT4", negocio_ + depto + *column)) continue;
      ForEachRow(enc_pers_->table(), "ENC_PERS", negocio_ + depto, [&](xb::Table& emp) {
        if (Number(emp, "ACTIVO") != 1) return;
        const std::string code = Bytes(emp, "CODIGO");
        xb::Table& values = det_pers_->table();
        if (!SeekPrefix(values, "DET_PERS", negocio_ + code + *column)) return;
        LOCK_FOR_MODIFY(*det_pers_);
        const double valor = Number(values, "VALOR_1");
        (void)values.Put("VALOR_1", xb::Value::Number(valor + valor * *rate));
        UNLOCK_FOR_MODIFY(*det_pers_);
        raised.push_back(code);
        progress.Step();
      });
    }
    if (!base_column || raised.empty()) return;
    // The raised column is part of the base salary: the hourly costs of the
    // employees raised follow, by the one rule every screen uses.
    FactorRecalcScope scope;
    scope.negocio = negocio_;
    scope.employees = raised;
    scope.base_is_sum = true;
    scope.det_pers = det_pers_.get();
    scope.pump = [] { MULTITASK(); };
    auto recalc = RecalcEmployeeFactors(scope);
    if (!recalc.ok())
      ThrowFault(kGenRead, recalc.status().message(), "DET_PERS", "RecalcEmployeeFactors");
  });
  if (done) Finished();
}

}  // namespace qz
