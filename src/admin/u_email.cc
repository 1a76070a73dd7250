// U_EMAIL: the logged-in user's own addresses and button style.
#include "admin/mail_screens.h"

#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/mail/mail_fields.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

// Radios 201..203 = BUTTONSTYL 0..2 = XBUTTON_STYLE 3, 0, 5.
constexpr int kStyleRadio = 201;
constexpr int kButtonStyles[] = {3, 0, 5};

std::string UserKey() {
  const Globals& g = G();
  std::string n = std::to_string(g.XUSER_NUMBER.value_or(0));
  return PadRight(g.XU_COMP, 15) + std::string(n.size() < 4 ? 4 - n.size() : 0, ' ') + n;
}

}  // namespace

void U_EMAIL(Desktop& desktop) {
  TablePtr t;
  bool found = false;
  if (RunOperation([&] {
        t = USE(nullptr, "USUARIOS", "USUARIO3");
        found = t->Seek(UserKey());
      }) != OperationResult::kDone)
    return;
  if (!found) {
    MESSAGE_BOX("Usuario no encontrado", "Error", kMbIconStop);
    KILLTABLA(t);
    return;
  }
  DIALOG_BOX(desktop, "U_EMAIL", nullptr, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      int style = static_cast<int>(mail::GetNum(*t, "BUTTONSTYL"));
      dlg.SetCheck(kStyleRadio + (style >= 0 && style <= 2 ? style : 0), 1);
      dlg.SetText(501, mail::GetText(*t, "EMAIL"));
      dlg.SetText(502, mail::GetText(*t, "USERNAME"));
      dlg.SetText(503, mail::GetText(*t, "USERADDR"));
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) dlg.ENDDIALOG(2);
    if (wparam != 1) return 1;
    int style = 0;
    for (int i = 0; i < 3; ++i)
      if (dlg.Check(kStyleRadio + i)) style = i;
    auto save = [&] {
      LOCK_FOR_MODIFY(*t);
      mail::PutText(*t, "EMAIL", Trim(dlg.Text(501)));
      mail::PutText(*t, "USERNAME", Trim(dlg.Text(502)));
      mail::PutText(*t, "USERADDR", Trim(dlg.Text(503)));
      mail::PutNum(*t, "BUTTONSTYL", style);
      UNLOCK_FOR_MODIFY(*t);
    };
    if (RunOperation(save) != OperationResult::kDone) return 1;
    Globals& g = G();
    if (!Trim(dlg.Text(502)).empty()) g.XEMAILNAME = Trim(dlg.Text(502));
    if (!Trim(dlg.Text(503)).empty()) g.XEMAILADDR = Trim(dlg.Text(503));
    g.XBUTTON_STYLE = kButtonStyles[style];
    dlg.ENDDIALOG(1);
    return 1;
  });
  KILLTABLA(t);
}

}  // namespace qz
