#include "lib/data/patience.h"

#include "lib/clock.h"
#include "lib/errors/fault.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"

namespace qz {

void RetryPatiently(const std::function<xb::Status()>& attempt, const Patience& p) {
  Clock& clock = CurrentClock();
  const int64_t start = clock.TickMs();
  for (;;) {
    xb::Status s = attempt();
    if (s.ok()) return;
    if (!s.IsBusy()) ThrowFault(p.gen_code, s.message(), p.filename, p.operation);
    Globals& g = G();
    if (p.counter != RetryCounter::kNone) ++g.XRETRIES[static_cast<int>(p.counter)];
    if (clock.TickMs() - start >= kPatienceMs) {
      if (p.sets_server_lock_text) g.XADS_T_ERR = p.message;
      if (g.XADSTRANS == 1) {
        ErrorInfo e;
        e.gen_code = p.gen_code;
        e.os_code = kOsSharingViolation;
        e.subsystem = g.DEF_RDD;
        e.description = p.message;
        e.filename = p.filename;
        e.operation = p.operation;
        throw Fault(e);
      }
      MESSAGE_BOX(p.message, "Alerta", kMbOk | kMbIconWarning);
    }
    clock.SleepMs(kRetryPauseMs);
  }
}

}  // namespace qz
