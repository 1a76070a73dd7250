// NEG_CAMB: how old the rates of a business may be before the warning at
// login lists them (NEGOCIOS: CHECK_MON 1 = days, 0 = months; CANT_MON).
#include "admin/t_cambio.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {

namespace {

constexpr int kDays = 201, kMonths = 202, kRange = 501;

}  // namespace

void NEG_CAMB(Desktop& desktop, const std::string& business) {
  TablePtr t;
  if (RunOperation([&] { t = OpenTable(nullptr, "NEGOCIOS"); }) != OperationResult::kDone || !t)
    return;
  t->SetOrder("NEGOCIOS");
  DIALOG_BOX(desktop, "NEG_CAMB", nullptr, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      if (t->Seek(business)) {
        dlg.SetCheck(FieldNumber(t->table(), "CHECK_MON") == 1 ? kDays : kMonths, 1);
        dlg.SetText(kRange, std::to_string(static_cast<int>(FieldNumber(t->table(), "CANT_MON"))));
      } else {
        dlg.SetCheck(kMonths, 1);
      }
      dlg.SetFocus(kRange);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      dlg.ENDDIALOG(2);
      return 1;
    }
    if (wparam != 1) return 1;
    auto range = ParseNumber(dlg.Text(kRange));
    if (!range || *range < 0) {
      MESSAGE_BOX(NotANumberMessage(dlg.Text(kRange)), "Error", kMbIconStop);
      return 1;
    }
    // The business row is read again under its lock.
    if (!t->Seek(business) || !LockForModify(*t)) {
      MESSAGE_BOX("No existe el negocio " + TrimRight(business), "Error", kMbIconStop);
      return 1;
    }
    t->FieldPut("CHECK_MON", xb::Value::Number(dlg.Check(kDays) ? 1 : 0));
    t->FieldPut("CANT_MON", xb::Value::Number(static_cast<int>(*range)));
    UnlockForModify(*t);
    dlg.ENDDIALOG(1);
    return 1;
  });
  CloseTable(t);
}

}  // namespace qz
