#include "lib/mail/mail_queue.h"

#include <filesystem>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/mail/mail_fields.h"
#include "lib/mail/mail_text.h"
#include "lib/mail/notification.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

std::string JoinFolder(std::string folder, const std::string& name) {
  folder = NormalizeFolder(Trim(folder));
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + name;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool Pending(const WDBTable& t) {
  return !t.Deleted() && mail::GetNum(t, "ENVIADO") != 1 &&
         (t.FieldPos("LISTO") <= 0 || mail::GetNum(t, "LISTO") == 1);
}

class Reporter : public MailSender {
 public:
  bool Send(const std::string& to, const std::string& subject, const std::string& body) override {
    OutgoingMail m;
    m.to = to;
    m.subject = subject;
    m.html = PlainTextAsHtml(body);
    return SendMailNow(m) >= 0;
  }
};

}  // namespace

OutgoingMail QueuedMessage(const WDBTable& t) {
  OutgoingMail m;
  m.to = mail::GetText(t, "TO_USER");
  m.cc = mail::GetText(t, "CC1");
  const std::string cc2 = mail::GetText(t, "CC2");
  if (!cc2.empty()) m.cc += (m.cc.empty() ? "" : ",") + cc2;
  m.subject = mail::GetText(t, "SUBJECT");
  const std::string name = mail::GetText(t, "USERNAME"), addr = mail::GetText(t, "USERADDR");
  if (!addr.empty()) m.from = MailboxHeader(name, addr);
  const std::string file = mail::GetText(t, "HTML_FILE");
  if (!file.empty()) {
    m.html_file = MailSendFolder() + file;
  } else {
    std::string body = mail::GetText(t, "BODY");
    m.html = mail::GetNum(t, "HTML") == 1 ? body : PlainTextAsHtml(body);
  }
  const std::string embed = mail::GetText(t, "HTML_EMBED");
  if (!embed.empty()) {
    m.embed_file = HtmlFolder() + embed;
    if (!Exists(m.embed_file) && Exists(MailSendFolder() + embed))
      m.embed_file = MailSendFolder() + embed;
  }
  const std::string att = mail::GetText(t, "HTML_ATTCH");
  if (!att.empty()) m.attachment = JoinFolder(mail::GetText(t, "HTML_D_ATT"), att);
  return m;
}

void RecordSendResult(WDBTable& t, int code) {
  LOCK_FOR_MODIFY(t);
  if (code >= 0) {
    mail::PutNum(t, "ENVIADO", 1);
    mail::PutDate(t, "F_ENVIO", XDATE());
    mail::PutText(t, "H_ENVIO", XTIME());
  } else {
    mail::PutNum(t, "ERR_COUNT", mail::GetNum(t, "ERR_COUNT") + 1);
    // The reason comes from the library and the server's reply code, never
    // from the settings: the password cannot end up here.
    mail::PutText(t, "ERR_TEXT", std::to_string(code) + " " + MailErrorText(code));
  }
  UNLOCK_FOR_MODIFY(t);
  if (code >= 0 && mail::GetNum(t, "HTML_DEL_A") == 1) {
    const std::string att = mail::GetText(t, "HTML_ATTCH");
    std::error_code ec;
    if (!att.empty()) fs::remove(JoinFolder(mail::GetText(t, "HTML_D_ATT"), att), ec);
  }
}

int SendQueuedMail(uint32_t recno) {
  TablePtr t = USE(nullptr, "E_MSGS");
  t->GoTo(recno);
  int rc = 0;
  if (!t->Eof() && mail::GetNum(*t, "ENVIADO") != 1) {
    rc = SendMailNow(QueuedMessage(*t));
    RecordSendResult(*t, rc);
  }
  KILLTABLA(t);
  return rc;
}

int SendPendingMails() {
  TablePtr t = USE(nullptr, "E_MSGS");
  std::vector<uint32_t> pending;
  for (t->GoTop(); !t->Eof(); t->Skip())
    if (Pending(*t)) pending.push_back(t->RecNo());
  int sent = 0;
  if (!pending.empty()) {
    int rc = CONNECTSEE(true, true);
    for (uint32_t r : pending) {
      t->GoTo(r);
      int code = rc < 0 ? rc : SENDMAILSEE(QueuedMessage(*t));
      RecordSendResult(*t, code);
      if (code >= 0) ++sent;
    }
    if (rc >= 0) DISCONNECTSEE();
  }
  KILLTABLA(t);
  return sent;
}

MailSender& SessionMailSender() {
  static Reporter r;
  return r;
}

}  // namespace qz
