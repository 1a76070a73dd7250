#include "lib/data/patience.h"

#include "lib/clock.h"
#include "lib/errors/error_handler.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"

namespace qz {

namespace {

ErrorInfo FaultOf(const Patience& p, const std::string& description, int os_code) {
  ErrorInfo e;
  // An append that failed for any other reason than a conflict is a write
  // failure: the handler silences append-lock conflicts.
  e.gen_code =
      p.gen_code == kGenAppendLock && os_code != kOsSharingViolation ? kGenWrite : p.gen_code;
  e.os_code = os_code;
  e.subsystem = G().DEF_RDD;
  e.description = description;
  e.filename = p.filename;
  e.operation = p.operation;
  e.can_retry = true;
  e.can_default = true;
  return e;
}

}  // namespace

Patience LockPatience(const std::string& path, const std::string& alias, uint32_t recno,
                      RetryCounter counter, int gen, const char* operation) {
  Patience p;
  p.counter = counter;
  p.gen_code = gen;
  p.filename = path;
  p.operation = operation;
  p.step = true;
  p.message = "El dato se encuentra bloqueado: " + alias;
  if (IsServerEngine()) {
    p.message += "/" + PadLeft(std::to_string(recno), 10);
    p.sets_server_lock_text = true;
  }
  return p;
}

void RetryPatiently(const std::function<xb::Status()>& attempt, const Patience& p) {
  Clock& clock = CurrentClock();
  int64_t start = clock.TickMs();
  for (;;) {
    xb::Status s = attempt();
    if (s.ok()) return;
    if (!s.IsBusy()) {
      if (!p.step) throw Fault(FaultOf(p, p.message + " (" + s.message() + ")", 0));
      ErrorInfo e = FaultOf(p, s.message(), 0);
      StepFailed(e);  // returns on "Reintentar"
      start = clock.TickMs();
      continue;
    }
    Globals& g = G();
    if (p.counter != RetryCounter::kNone) ++g.XRETRIES[static_cast<int>(p.counter)];
    if (clock.TickMs() - start >= kPatienceMs) {
      if (p.sets_server_lock_text) g.XADS_T_ERR = p.message;
      if (g.XADSTRANS == 1) {
        ErrorInfo e = FaultOf(p, p.message, kOsSharingViolation);
        if (!p.step) throw Fault(e);
        StepFailed(e);  // inside a transaction this never returns
        start = clock.TickMs();
        continue;
      }
      MESSAGE_BOX(p.message, "Alerta", kMbOk | kMbIconWarning);
    }
    clock.SleepMs(kRetryPauseMs);
  }
}

}  // namespace qz
