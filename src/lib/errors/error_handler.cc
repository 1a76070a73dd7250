#include "lib/errors/error_handler.h"

#include <cstdlib>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/data/use.h"
#include "lib/mail/mail_queue.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/message_box.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace qz {

// Steps 4 to 6 of the handler: record, report, ask.
HandlerResult ReportAndAsk(const ErrorInfo& e);

namespace {

ErrorDialog* g_dialog = nullptr;
MailSender* g_mail = nullptr;
std::function<void(int)> g_exit = [](int code) { std::exit(code); };
bool g_net_err = false;

xb::Value Text(const std::string& utf8) {
  return xb::Value::Char(xb::FromUtf8(utf8));
}

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

// Runs `fn`; a fault while recording only gets the table layer's message.
void Recording(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const Fault& f) {
    MESSAGE_BOX(f.info().description, "Alerta", kMbIconStop);
  }
}

void StampEntryLog(const std::string& line, const std::string& details) {
  Globals& g = G();
  if (!g.XREC_E_S) return;
  Recording([&] {
    TablePtr log = USE(nullptr, "LOG_E_S");
    log->GoTo(*g.XREC_E_S);
    if (!log->Eof()) {
      LOCK_FOR_MODIFY(*log);
      log->FieldPut("FECHA_SAL", xb::Value::Date(XDATE()));
      log->FieldPut("HORA_SAL", xb::Value::Char(XTIME()));
      log->FieldPut("DESC_ERR", Text(EntryLogErrorText(line, details)));
      log->FieldPut("ERR_CHECK", xb::Value::Char("*"));
      UNLOCK_FOR_MODIFY(*log);
    }
    KILLTABLA(log);
  });
}

void AppendErrorRow(const std::string& line, const std::string& report) {
  Recording([&] {
    TablePtr t = USE(nullptr, "ERROR");
    ADD_NEW_REC(*t);
    t->FieldPut("FECHA", xb::Value::Date(XDATE()));
    t->FieldPut("HORA", xb::Value::Char(XTIME()));
    t->FieldPut("DESCRIP", Text(line));
    t->FieldPut("DETALLE", Text(report));
    // Older installations have no USUARIO (the viewer's by-user order).
    if (t->FieldPos("USUARIO") > 0) t->FieldPut("USUARIO", Text(G().XUSER_ABREVIA));
    UNLOCK_NEW_REC(*t);
    KILLTABLA(t);
  });
}

void QueueMail(const std::string& report) {
  Globals& g = G();
  Recording([&] {
    TablePtr t = USE(nullptr, "E_MSGS");
    ADD_NEW_REC(*t);
    t->FieldPut("FECHA", xb::Value::Date(XDATE(true)));
    t->FieldPut("HORA", xb::Value::Char(XTIME(true)));
    t->FieldPut("TO_USER", Text(g.XEMAILDEST));
    t->FieldPut("SUBJECT", Text("Error: " + g.XEMAIL_ID));
    t->FieldPut("BODY", Text(report));
    t->FieldPut("USERNAME", Text(g.XEMAILNAME));
    t->FieldPut("USERADDR", Text(g.XEMAILADDR));
    t->FieldPut("ENVIADO", xb::Value::Number(0));
    t->FieldPut("LISTO", xb::Value::Number(1));
    UNLOCK_NEW_REC(*t);
    KILLTABLA(t);
  });
}

void Report(const std::string& report) {
  Globals& g = G();
  if (g.XEMAILSEND == 1) {
    // A report the mail server refused is queued rather than lost.
    MailSender* mail = g_mail ? g_mail : &SessionMailSender();
    if (mail->Send(g.XEMAILDEST, "Error: " + g.XEMAIL_ID, report)) return;
  }
  QueueMail(report);
}

int ShowDialog(const ErrorInfo& e, const std::string& line, const std::string& details) {
  Globals& g = G();
  xb::SetDeletedHidden(true);
  if (g.XADSTRANS == 1) {
    g.XADS_T_ERR = line;
    ROLLBACK_TRANSACTION();
    g.XADSTRANS = 0;
  }
  // An error while the dialog is up (or while it records) gets no second one.
  if (g.XINERRORSYS) return 2;
  g.XINERRORSYS = true;
  std::string report = ReportText(line, details);
  AppendErrorRow(line, report);
  StampEntryLog(line, details);
  Report(report);
  int answer = g_dialog ? g_dialog->Ask(line, report, e.can_retry, e.can_default) : 2;
  if (answer == 1 && !e.can_retry) answer = 2;
  g.XINERRORSYS = false;
  return answer;
}

}  // namespace

void SetErrorDialog(ErrorDialog* d) {
  g_dialog = d;
}
void SetMailSender(MailSender* m) {
  g_mail = m;
}
void SetProcessExit(std::function<void(int)> exit_fn) {
  g_exit = std::move(exit_fn);
}
bool NetErr() {
  return g_net_err;
}
void ClearNetErr() {
  g_net_err = false;
}

std::string ErrorLine(const ErrorInfo& e) {
  std::string line = e.severity > 1 ? "Error " : "Warning ";
  line += e.subsystem.empty() ? "???" : e.subsystem;
  line += "/" + (e.sub_code ? std::to_string(*e.sub_code) : std::string("???"));
  line += "  " + e.description;
  if (!e.filename.empty()) {
    line += ": " + e.filename;
  } else if (!e.operation.empty()) {
    line += ": " + e.operation;
  }
  return line;
}

std::string ErrorDetails(const ErrorInfo& e) {
  std::string d = "File: " + e.filename + " GenCode: " + std::to_string(e.gen_code) +
                  " OsCode: " + std::to_string(e.os_code) + "\r\n";
  for (const auto& frame : e.call_stack) d += "Called from " + frame + "\r\n";
  return d;
}

std::string ReportText(const std::string& line, const std::string& details) {
  const Globals& g = G();
  return "Módulo  : " + g.EXT_MODULO + "\r\n" + "Fecha/H.: " + DateText(XDATE(true)) + " " +
         XTIME(true) + "\r\n" + "Computer: " + HostName() + "\r\n" +
         "V32 WinUser : " + LoginName() + "\r\n" + line + "\r" + "\r\n" + details;
}

std::string EntryLogErrorText(const std::string& line, const std::string& details) {
  std::string d = ReplaceAll(details, "\n", "");
  d = ReplaceAll(d, "\r", " ");
  d = ReplaceAll(d, "Called from", ">");
  return line + "|" + d;
}

HandlerResult ERRORSYS(const ErrorInfo& e) {
  if (e.gen_code == kGenZeroDiv) return HandlerResult::kZero;
  if ((e.gen_code == kGenOpen && e.os_code == kOsSharingViolation && e.can_default) ||
      (e.gen_code == 2006 && e.os_code == kOsSharingViolation) ||
      (e.gen_code == kGenAppendLock && e.can_default)) {
    g_net_err = true;
    return HandlerResult::kDefault;
  }
  if (e.sub_code && (*e.sub_code == 6313 || *e.sub_code == 6102)) return HandlerResult::kZero;
  return ReportAndAsk(e);
}

HandlerResult ReportAndAsk(const ErrorInfo& e) {
  const std::string line = ErrorLine(e);
  const std::string details = ErrorDetails(e);
  int answer = ShowDialog(e, line, details);
  if (answer == 1) return HandlerResult::kRetry;
  if (answer == 2) return HandlerResult::kDefault;
  StampEntryLog(line, details);
  try {
    XDBCOMMIT();
  } catch (const Fault&) {
    // Ending anyway: what could be written was written.
  }
  g_exit(1);
  return HandlerResult::kDefault;
}

void StepFailed(ErrorInfo e) {
  const bool in_transaction = G().XADSTRANS == 1;
  if (in_transaction) e.can_retry = false;  // the rollback took the steps before it
  // Not ERRORSYS: its soft failures are the conflicts the data layer waits
  // for, and this one waited already.
  if (!G().XINERRORSYS && ReportAndAsk(e) == HandlerResult::kRetry) return;
  e.reported = true;
  throw Fault(e);
}

OperationResult RunOperation(const std::function<void()>& body) {
  for (;;) {
    const uint64_t writes_before = DataLayerWrites();
    ErrorInfo info;
    try {
      body();
      return OperationResult::kDone;
    } catch (const Fault& f) {
      if (f.info().reported) return OperationResult::kIgnored;
      info = f.info();
    } catch (const std::exception& ex) {
      info.description = ex.what();
      info.subsystem = "QZ";
      info.operation = "RunOperation";
      info.can_default = true;
    }
    // Running the operation again would repeat what it already wrote (a
    // catalog row appended twice), unless its transaction is rolled back.
    const bool rolled_back = G().XADSTRANS == 1;
    if (!rolled_back && DataLayerWrites() != writes_before) info.can_retry = false;
    if (ERRORSYS(info) != HandlerResult::kRetry) return OperationResult::kIgnored;
  }
}

}  // namespace qz
