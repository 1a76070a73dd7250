#include "payroll/processes/asig_jor.h"

#include "lib/data/locking.h"
#include "lib/errors/fault.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/settings/multitask.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"

namespace qz {

ASIG_JOR::ASIG_JOR(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool ASIG_JOR::AbrirBases() {
  return Open(tiempo_e_, "TIEMPO_E") && Open(enc_pers_, "ENC_PERS");
}

void ASIG_JOR::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kMultiple);
  AddMarkButtons();
  FillSchedules();
  ADD(kAceptar, [this] { Procesar(); });
}

void ASIG_JOR::FillSchedules() {
  CCOMBOBOX combo(*this, kJornada);
  combo.CLEAR();
  ForEachRow(tiempo_e_->table(), "TIEMPO_E", negocio_, [&](xb::Table& t) {
    combo.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO"));
  });
}

void ASIG_JOR::Procesar() {
  const auto schedule = CCOMBOBOX(*this, kJornada).CURCARGO();
  if (!schedule || schedule->empty()) return Refuse(kNoSchedule);
  const std::vector<std::string> deptos = ChosenDepartments();
  if (deptos.empty()) return Refuse(kNoDepartment);
  if (!SeekPrefix(tiempo_e_->table(), "TIEMPO_E", negocio_ + *schedule)) {
    Refuse(kScheduleGone);
    FillSchedules();
    return;
  }

  const bool done = RunAtomic("Procesando Datos...", [&](Progress& progress) {
    std::vector<std::string> assigned;
    xb::Table& depts = enc_dept().table();
    for (const std::string& depto : deptos) {
      if (!SeekPrefix(depts, "ENC_DEPT", negocio_ + depto)) continue;
      progress.SetText("Departamento : " + FieldText(depts, "DESCRIP"));
      ForEachRow(enc_pers_->table(), "ENC_PERS", negocio_ + depto, [&](xb::Table& emp) {
        if (Number(emp, "ACTIVO") != 1) return;
        LOCK_FOR_MODIFY(*enc_pers_);
        (void)emp.Put("COD_TIEMPO", xb::Value::Char(*schedule));
        UNLOCK_FOR_MODIFY(*enc_pers_);
        assigned.push_back(Bytes(emp, "CODIGO"));
        progress.Step();
      });
    }
    if (assigned.empty()) return;
    // The factors follow the new schedule, by the one rule every screen uses.
    FactorRecalcScope scope;
    scope.negocio = negocio_;
    scope.employees = assigned;
    scope.base_is_sum = true;
    scope.pump = [] { MULTITASK(); };
    auto recalc = RecalcEmployeeFactors(scope);
    if (!recalc.ok())
      ThrowFault(kGenRead, recalc.status().message(), "DET_PERS", "RecalcEmployeeFactors");
  });
  if (done) Finished();
}

}  // namespace qz
