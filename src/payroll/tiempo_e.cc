#include "payroll/tiempo_e.h"

#include <optional>

#include "lib/data/transaction.h"
#include "lib/errors/fault.h"
#include "lib/payroll/factor_recalc.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

std::optional<double> Factor(const xb::Table& t) {
  auto v = t.Get("FACTOR");
  if (!v.ok() || !v->is_numeric()) return std::nullopt;
  return v->number();
}

}  // namespace

TIEMPO_E::TIEMPO_E(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup TIEMPO_E::Setup() {
  CatalogSetup s;
  s.name = "TIEMPO_E";
  s.table = "TIEMPO_E";
  s.tag = "TIEMPO_E";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Cod", "CODIGO", "!!"}, {"Descrpción", "DESCRIP", std::string(37, '!')}};
  s.duplicate_on_add = "Código  ya definido...";
  s.duplicate_on_modify = "Código de  ya definido...";
  s.delete_question = "Desea borrar el item?";
  s.edit_template = "MODITIEMPO_E";
  s.edit_fields = {"CODIGO", "DESCRIP", "FACTOR", "HORA_LIBRE", "HORA_RESTA"};
  s.references = {{"ENC_PERS", "ENC_PERS5", "COD_TIEMPO"}};
  return s;
}

bool TIEMPO_E::SaveEdit(WDIAG& dlg, int mode) {
  xb::Table& t = *main_table();
  // The factor as stored before this save (the row may have been changed
  // by another user since the dialog opened).
  std::optional<double> before;
  if (mode == 1 && Registro != 0 && t.GoTo(Registro).ok() && !t.Eof()) before = Factor(t);

  START_TRANSACTION();
  if (!CatalogScreen::SaveEdit(dlg, mode)) {
    END_TRANSACTION();  // refused before anything was written
    return false;
  }
  uint32_t saved = oB()->SelectedRecNo();
  t.GoTo(saved);
  std::optional<double> after = Factor(t);
  std::string code = TrimRight(FieldText(t, "CODIGO"));
  if (mode == 0 || before != after) {
    if (MESSAGE_BOX(kAskRecalc, "Advertencia", kMbOkCancel | kMbIconWarning) == 1)
      Recalculate(code);
  }
  END_TRANSACTION();
  oB()->REFRESHALL();
  oB()->SelectRecNo(saved);
  return true;
}

void TIEMPO_E::Recalculate(const std::string& code) {
  WAIT wait(this, kRecalcWait);
  FactorRecalcScope scope;
  scope.negocio = Negocio();
  scope.schedule = code;
  scope.base_is_sum = false;
  scope.pump = [] { MULTITASK(); };
  auto done = RecalcEmployeeFactors(scope);
  wait.TERMINAR();
  // A table that cannot be read is a fault: the handler rolls the
  // transaction back, the schedule's row with it, and tells the user.
  if (!done.ok()) ThrowFault(kGenRead, done.status().message(), "ENC_PERS", "RecalcEmployeeFactors");
}

}  // namespace qz
