#include "cash/cashiers.h"

#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

enum : int { kCashierCombo = 602, kCashierPassword = 503, kBoxPassword = 502 };

}  // namespace

std::vector<Cashier> ReadCashiers(const std::string& business) {
  std::vector<Cashier> out;
  TablePtr t = USE(nullptr, "DIGITA", UseOptions{});  // table order, as the list shows them
  const std::string key = PadRight(business, 15);
  for (t->GoTop(); !t->Eof(); t->Skip()) {
    if (FieldBytes(t->table(), "NEGOCIO") != key) continue;
    Cashier c;
    c.code = FieldBytes(t->table(), "CODIGO");
    c.name = FieldText(t->table(), "NOMBRE");
    c.clave = PadRight(FieldBytes(t->table(), "CLAVE"), 10);
    c.cierre = static_cast<int>(FieldNumber(t->table(), "CIERRE"));
    out.push_back(std::move(c));
  }
  KILLTABLA(t);
  return out;
}

std::string PasswordField(const std::string& typed_utf8) {
  return PadRight(xb::FromUtf8(typed_utf8), 10);
}

std::optional<Cashier> AskCashierPasswords(Desktop& desktop, WDIAG* owner,
                                           const std::string& business,
                                           const PasswordRequest& request) {
  std::vector<Cashier> cashiers;
  for (Cashier& c : ReadCashiers(business))
    if (!request.only_closers || c.cierre == 1) cashiers.push_back(std::move(c));
  std::optional<Cashier> chosen;
  DIALOG_BOX(desktop, request.template_name, owner,
             [&](WDIAG& d, int msg, int64_t wparam, int64_t) -> int {
               if (msg == kWmInitDialog) {
                 if (!request.title.empty()) d.SetTitle(request.title);
                 d.ClearEntries(kCashierCombo);
                 for (const Cashier& c : cashiers) d.AddEntry(kCashierCombo, c.name, c.code);
                 if (request.preselect_single && cashiers.size() == 1)
                   d.SetCurrent(kCashierCombo, 0);
                 d.SetFocus(kCashierCombo);
                 return 1;
               }
               if (msg != kWmCommand) return 0;
               if (wparam == 2) {
                 d.ENDDIALOG(2);
                 return 1;
               }
               if (wparam != 1) return 0;
               const ControlState* combo = d.Control(kCashierCombo);
               const int pick = combo ? combo->current : -1;
               if (pick < 0 || pick >= static_cast<int>(cashiers.size())) {
                 MESSAGE_BOX("Debe completar todos los datos básicos:\r\nDigitador", "ERROR",
                             kMbIconStop);
                 return 1;
               }
               if (request.recheck && !request.recheck()) return 1;
               const Cashier& c = cashiers[pick];
               if (PasswordField(d.Text(kCashierPassword)) != c.clave ||
                   PasswordField(d.Text(kBoxPassword)) != PadRight(request.box_password, 10)) {
                 MESSAGE_BOX("Clave de Paso Errada", "ERROR", kMbIconStop);
                 return 1;
               }
               chosen = c;
               d.ENDDIALOG(1);
               return 1;
             });
  return chosen;
}

}  // namespace qz
