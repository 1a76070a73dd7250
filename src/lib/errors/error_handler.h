// The error handler's core: every runtime fault of the program ends here. It
// silences the expected kinds, turns sharing and append-lock conflicts into
// soft failures the data layer retries, rolls back an open server
// transaction, records the error (ERROR row, the session's LOG_E_S row),
// mails or queues the report (E_MSGS) and lets the user retry, ignore or
// quit. The dialog itself belongs to the window system, which installs it.
#pragma once

#include <functional>
#include <string>

#include "lib/errors/fault.h"

namespace qz {

enum class HandlerResult { kRetry, kDefault, kZero };

// The "ERROR DE SISTEMA" dialog: returns 1 (Reintentar), 2 (Ignorar) or 3 (Salir).
class ErrorDialog {
 public:
  virtual ~ErrorDialog() = default;
  virtual int Ask(const std::string& error_line, const std::string& details, bool can_retry,
                  bool can_default) = 0;
};
void SetErrorDialog(ErrorDialog* d);  // not owned; null = every error is ignored unseen

// Immediate sending of an error report (XEMAILSEND = 1); false when the mail
// connection failed.
class MailSender {
 public:
  virtual ~MailSender() = default;
  virtual bool Send(const std::string& to, const std::string& subject, const std::string& body) = 0;
};
void SetMailSender(MailSender* m);  // not owned; null = the SMTP session (lib/mail)

// How the process ends on "Salir" (tests replace it).
void SetProcessExit(std::function<void(int)> exit_fn);

// The handler (installed at start; see RunOperation for how faults reach it).
HandlerResult ERRORSYS(const ErrorInfo& e);
// True after a sharing or append-lock conflict was turned into a soft failure.
bool NetErr();
void ClearNetErr();

// The texts the handler builds.
std::string ErrorLine(const ErrorInfo& e);
std::string ErrorDetails(const ErrorInfo& e);
std::string ReportText(const std::string& error_line, const std::string& details);
std::string EntryLogErrorText(const std::string& error_line, const std::string& details);

// A step of the data layer (a lock, an append, a record write or release)
// failed in a way that waiting cannot cure. The handler is asked at once, where
// the step failed: "Reintentar" returns and the caller runs that step again,
// never the steps before it; "Ignorar" (and "Salir" when the process goes on)
// abandon the operation by throwing the fault marked `reported`. Inside a
// server transaction the handler first rolls the transaction back, so the
// step cannot be retried on its own: only "Ignorar" and "Salir" are offered.
void StepFailed(ErrorInfo e);

enum class OperationResult { kDone, kIgnored };
// Runs a user operation: a Fault (or any other exception) thrown inside goes
// to the handler, unless it was reported already. "Reintentar" runs the
// operation again from the start only when that cannot repeat work done: a
// server transaction was rolled back, or nothing was written since it began.
OperationResult RunOperation(const std::function<void()>& body);

}  // namespace qz
