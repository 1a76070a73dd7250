#include "payroll/history/ajuste_c.h"

#include "lib/data/date_time.h"
#include "lib/errors/error_handler.h"
#include "lib/errors/fault.h"
#include "lib/payroll/debt_adjustment.h"
#include "lib/settings/multitask.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"

namespace qz {

AJUSTE_C::AJUSTE_C(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

// The tree opens the parameters it reads; nothing else is read here.
bool AJUSTE_C::AbrirBases() {
  return true;
}

void AJUSTE_C::Configure() {
  BuildDepartmentTree(TreeModel::Mode::kMultiple, DepartmentTreeRule());
  AddMarkButtons();
  ADD(kAjustar, [this] { Procesar(); });
}

void AJUSTE_C::Procesar() {
  const std::vector<std::string> deptos = ChosenDepartments();
  if (deptos.empty()) return Refuse(kNoDepartment);
  DebtAdjustmentRequest request;
  request.negocio = xb::ToUtf8(negocio_);
  for (const std::string& d : deptos) request.deptos.push_back(xb::ToUtf8(d));

  // The check reads only: a refusal leaves everything as it was.
  std::optional<std::string> misapplied;
  bool checked = false;
  {
    Progress progress(this, "Revisando Datos...", false);
    request.on_employee = [&](const std::string&) {
      progress.Step();
      MULTITASK();
    };
    RunOperation([&] {
      auto check = FirstMisappliedTransaction(request);
      if (!check.ok()) ThrowFault(kGenRead, check.status().message(), "ENC_DDA", "AJUSTE_C");
      misapplied = *check;
      checked = true;
    });
  }
  if (!checked) return;
  if (misapplied) return Refuse(MisappliedTransactionText(xb::ToUtf8(*misapplied)));

  request.hoy = XDATE();
  const bool done = RunAtomic("Procesando Datos...", [&](Progress& progress) {
    request.on_employee = [&](const std::string&) {
      progress.Step();
      MULTITASK();
    };
    auto run = AdjustDebtInstalments(request);
    if (!run.ok()) ThrowFault(kGenRead, run.status().message(), "DET_PERS", "AJUSTE_C");
  });
  if (done) Finished();
}

}  // namespace qz
