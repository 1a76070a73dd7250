#include "payroll/history/calc_grp.h"

#include "lib/errors/fault.h"
#include "lib/payroll/group_totals.h"
#include "lib/settings/multitask.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "xbase/codepage.h"

namespace qz {

CALC_GRP::CALC_GRP(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

bool CALC_GRP::AbrirBases() {
  return Open(tip_pla_, "TIP_PLA");
}

void CALC_GRP::Configure() {
  CCOMBOBOX tipos(*this, kTipo);
  ForEachRow(tip_pla_->table(), "TIP_PLA", negocio_,
             [&](xb::Table& t) { tipos.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO")); });
  if (tipos.COUNT() > 0) SetCurrent(kTipo, 0);
  DepartmentTreeRule rule;
  rule.tipo = [this] { return CCOMBOBOX(*this, kTipo).CURCARGO(); };
  BuildDepartmentTree(TreeModel::Mode::kMultiple, std::move(rule));
  ADD(kTipo, [this] { tree_->Refresh(); });
  AddMarkButtons();
  ADD(kAceptar, [this] { Procesar(); });
}

void CALC_GRP::Procesar() {
  const std::optional<int32_t> desde = DateValue(kDesde), hasta = DateValue(kHasta);
  if (!desde || !hasta || (*desde != 0 && *hasta != 0 && *desde > *hasta)) {
    Refuse(kBadRange);
    SetFocus(kDesde);
    return;
  }
  const std::vector<std::string> deptos = ChosenDepartments();
  if (deptos.empty()) return Refuse(kNoDepartment);
  GroupTotalsRequest request;
  request.negocio = xb::ToUtf8(negocio_);
  for (const std::string& d : deptos) request.deptos.push_back(xb::ToUtf8(d));
  request.desde = *desde;
  request.hasta = *hasta;
  const bool done = RunAtomic("Procesando Datos.", [&](Progress& progress) {
    request.on_payroll = [&](const std::string& text) { progress.SetText(text); };
    request.on_line = [&](const std::string&) {
      progress.Step();
      MULTITASK();
    };
    auto run = RecalcGroupTotals(request);
    // Whatever was written so far goes back with the transaction.
    if (!run.ok()) ThrowFault(kGenRead, run.status().message(), "H_E_PERS", "RecalcGroupTotals");
  });
  if (done) {
    Finished();
    Terminar(kAceptar);
  }
}

}  // namespace qz
