// EMAIL6: the installation's mail parameters (one DEFMAIL record).
#include "admin/mail_screens.h"

#include <optional>

#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/mail/mail_fields.h"
#include "lib/mail/mail_session.h"
#include "lib/settings/globals.h"
#include "lib/settings/installation.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

struct TextBox {
  int id;
  const char* field;
};

const TextBox kTexts[] = {
    {501, "HOST"},       {502, "POP3"},       {521, "D_STUNNEL"},  {503, "USERNAME"},
    {504, "USERADDR"},   {514, "CC_CONF1"},   {515, "CC_CONF2"},   {512, "AUTH_USER"},
    {513, "AUTH_PASS"},  {505, "DESTINO"},    {506, "ID_NAME"},    {507, "NEGOCIO_H"},
    {508, "CLASE_HOT"},  {510, "CLASE_ROT1"}, {509, "CLASE_HOT2"}, {511, "CLASE_ROT2"},
};
const TextBox kPorts[] = {{517, "SMTP_PORT"}, {518, "POP3_PORT"}};
const TextBox kChecks[] = {{1001, "SENDMAIL"}, {1002, "AUTORIZA"}};

// The raw stored text (D_STUNNEL keeps its blanks as typed).
std::string Stored(const WDBTable& t, const char* field) {
  if (t.FieldPos(field) <= 0) return "";
  return RTrim(xb::ToUtf8(t.FieldGet(field).str()));
}

void Fill(WDIAG& dlg, WDBTable& t) {
  t.GoTop();
  if (t.Eof()) return;
  for (const auto& b : kTexts) dlg.SetText(b.id, Stored(t, b.field));
  for (const auto& b : kPorts) {
    if (t.FieldPos(b.field) > 0) dlg.SetText(b.id, std::to_string(static_cast<int>(mail::GetNum(t, b.field))));
  }
  for (const auto& b : kChecks) dlg.SetCheck(b.id, mail::GetNum(t, b.field) == 1 ? 1 : 0);
}

void Save(WDIAG& dlg, WDBTable& t, const std::string& business) {
  t.GoTop();
  if (t.Eof()) {
    ADD_NEW_REC(t);
    if (t.FieldPos("NEGOCIO") > 0) t.FieldPut("NEGOCIO", xb::Value::Char(PadRight(business, 15)));
  } else {
    LOCK_FOR_MODIFY(t);
  }
  for (const auto& b : kTexts) mail::PutText(t, b.field, dlg.Text(b.id));
  for (const auto& b : kPorts) mail::PutNum(t, b.field, NumericValue(dlg.Text(b.id)));
  for (const auto& b : kChecks) mail::PutNum(t, b.field, dlg.Check(b.id) ? 1 : 0);
  UNLOCK_FOR_MODIFY(t);
  LoadMailSettings(t);
}

// The mail settings a test mail may change for its duration.
struct MailSettings {
  std::string host, name, addr, dest, user, pass;
  int auth;
  std::optional<int> port;
  static MailSettings Take() {
    const Globals& g = G();
    return {g.XEMAILHOST, g.XEMAILNAME, g.XEMAILADDR, g.XEMAILDEST, g.XEMAIL_AU,
            g.XEMAIL_AP,  g.XEMAILAUTH, g.XEMAIL_SMTP_PORT};
  }
  void Put() const {
    Globals& g = G();
    g.XEMAILHOST = host;
    g.XEMAILNAME = name;
    g.XEMAILADDR = addr;
    g.XEMAILDEST = dest;
    g.XEMAIL_AU = user;
    g.XEMAIL_AP = pass;
    g.XEMAILAUTH = auth;
    g.XEMAIL_SMTP_PORT = port;
  }
};

void TestMail(WDIAG& dlg) {
  const MailSettings saved = MailSettings::Take();
  MailSettings typed{Trim(dlg.Text(501)), Trim(dlg.Text(503)), Trim(dlg.Text(504)),
                     Trim(dlg.Text(505)), Trim(dlg.Text(512)), Trim(dlg.Text(513)),
                     dlg.Check(1002) ? 1 : 0, static_cast<int>(NumericValue(dlg.Text(517)))};
  typed.Put();
  const std::string dest = typed.dest;
  int rc;
  {
    WAIT wait(&dlg, "Programando Parámetros...");
    wait.PUT_TEXT("Conectando a: " + dest);
    rc = CONNECTSEE();
    if (rc >= 0) {
      wait.PUT_TEXT("Enviando email a: " + dest);
      rc = SENDMAILSEE(dest, "", "", "Confirmacion de Configuracion SMTP",
                       "Si le llegó este mail, tiene correctamente definido los parámetros de "
                       "envío de mails (SMTP)");
      DISCONNECTSEE();
      if (rc < 0) MESSAGE_BOX("Error enviando mail\r\n" + MailErrorText(rc), "Error", kMbIconStop);
    }
  }
  if (rc >= 0) MESSAGE_BOX("email enviado correctamente...", "Confirmación", kMbIconInformation);
  // Unsaved values only served the test: cancelling the screen must not
  // leave the program mailing with them.
  saved.Put();
}

}  // namespace

void EMAIL6(Desktop& desktop, const std::string& business) {
  TablePtr t;
  if (RunOperation([&] { t = USE(nullptr, "DEFMAIL"); }) != OperationResult::kDone || !t) return;
  DIALOG_BOX(desktop, "F_MAIL", nullptr, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      Fill(dlg, *t);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 1) {
      if (RunOperation([&] { Save(dlg, *t, business); }) == OperationResult::kDone) dlg.ENDDIALOG(1);
    } else if (wparam == 2) {
      dlg.ENDDIALOG(2);
    } else if (wparam == 3) {
      TestMail(dlg);
    }
    return 1;
  });
  KILLTABLA(t);
}

}  // namespace qz
