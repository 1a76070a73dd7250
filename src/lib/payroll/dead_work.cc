#include "lib/payroll/dead_work.h"

#include "lib/data/journal.h"
#include "lib/settings/globals.h"
#include "lib/ui/message_box.h"

namespace qz {

void UndoDeadTransactions() {
  RecoveryReport r = RecoverJournals(G().PATH);
  if (!r.problems.empty())
    MESSAGE_BOX(
        "No se pudo deshacer por completo una transacción interrumpida:\r" + r.problems.front(),
        "Alerta", kMbIconStop);
}

}  // namespace qz
