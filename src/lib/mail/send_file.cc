// Mailing a report or grid file: the confirmation dialog LEE_EMAIL, the
// queued notification, and sending it at once when the mail server is not
// working.
#include "lib/mail/send_file.h"

#include <filesystem>

#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/mail/heartbeat.h"
#include "lib/mail/mail_fields.h"
#include "lib/mail/mail_queue.h"
#include "lib/mail/mail_text.h"
#include "lib/mail/notification.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

// The logged-in user's private address, proposed as addressee.
std::string UserEmail() {
  const Globals& g = G();
  std::string email;
  RunOperation([&] {
    TablePtr t = USE(nullptr, "USUARIOS", "USUARIO3");
    std::string n = std::to_string(g.XUSER_NUMBER.value_or(0));
    if (t->Seek(PadRight(g.XU_COMP, 15) + std::string(4 - std::min<size_t>(4, n.size()), ' ') + n))
      email = mail::GetText(*t, "EMAIL");
    KILLTABLA(t);
  });
  return email;
}

std::string JoinPath(std::string folder, const std::string& file) {
  folder = NormalizeFolder(folder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + file;
}

// Sends queue record `recno` now; tells the user how it went.
void SendNow(WDIAG* owner, uint32_t recno, const std::string& to) {
  TablePtr t = USE(nullptr, "E_MSGS");
  t->GoTo(recno);
  int rc = CONNECTSEE(true, true);
  if (rc < 0) {
    RecordSendResult(*t, rc);
    KILLTABLA(t);
    MESSAGE_BOX("Error conectando SMTP", "Error", kMbIconStop);
    return;
  }
  {
    WAIT wait(owner, "Un momento por favor...");
    wait.PUT_TEXT("Enviando email a: " + to);
    rc = SENDMAILSEE(QueuedMessage(*t));
    RecordSendResult(*t, rc);
  }
  DISCONNECTSEE();
  KILLTABLA(t);
  if (rc < 0) {
    MESSAGE_BOX("Error enviando mail", "Error", kMbIconStop);
  } else {
    MESSAGE_BOX("email enviado correctamente...", "Confirmación", kMbIconInformation);
  }
}

}  // namespace

bool SEND_FILE_EMAIL(Desktop& desktop, WDIAG* owner, const std::string& folder,
                     const std::string& file, const std::string& title,
                     const std::string& business, const std::string& hotel) {
  if (Trim(file).empty()) {
    MESSAGE_BOX("No se puede enviar archivo. Nombre erróneo: " + file, "Error", kMbIconStop);
    return false;
  }
  if (Trim(folder).empty()) {
    MESSAGE_BOX("Error generando Archivo XLS.  Reporte posiblemente sin datos?", "Error",
                kMbIconStop);
    return false;
  }
  const bool direct = MailServerSilent();
  std::string to;
  int answer = DIALOG_BOX(desktop, "LEE_EMAIL", owner, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      dlg.SetText(501, folder);
      dlg.SetText(502, file);
      dlg.SetText(503, UserEmail());
      if (direct) {
        dlg.SetText(601, "El MAILSERVER no se encuentra trabajando...");
        dlg.SetText(602, "Se intentará enviar el mail directamente...");
      } else {
        dlg.SetText(601, "MAILSERVER OK...");
      }
      dlg.SetFocus(503);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) dlg.ENDDIALOG(2);
    if (wparam != 1) return 1;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(JoinPath(folder, file), ec)) {
      MESSAGE_BOX("Archivo no se encuentra en la dirección indicada", "Error", kMbIconStop);
      return 1;
    }
    if (!VALID_EMAIL(dlg.Text(503))) {
      MESSAGE_BOX("email inválido", "Error", kMbIconStop);
      dlg.SetFocus(503);
      return 1;
    }
    to = Trim(dlg.Text(503));
    dlg.ENDDIALOG(1);
    return 1;
  });
  if (answer != 1) return false;
  Notification n;
  n.business = PadRight(business, 15);
  n.hotel = hotel;
  n.to = {to};
  n.subject = "QUARTZEL Software ENVIO AUTOMATICO DE ARCHIVO";
  n.user = G().XUSER_ABREVIA;
  n.texts[0] = "Archivo " + file;
  n.texts[1] = title;
  n.titles[0] = "ENVIO AUTOMATICO";
  n.titles[1] = "Descripción:";
  n.attachment = file;
  n.attachment_folder = folder;
  uint32_t recno = 0;
  if (RunOperation([&] { recno = SEND_NOTIFICATION(n); }) != OperationResult::kDone || recno == 0)
    return false;
  if (direct) {
    RunOperation([&] { SendNow(owner, recno, to); });
  } else {
    MESSAGE_BOX("Archivo guardado en Espera por enviar por MAILSERVER\rInfo: " + title + "\r" +
                    "Destino: " + to,
                "Confirmación", kMbIconInformation);
  }
  return true;
}

}  // namespace qz
