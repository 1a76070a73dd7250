#include "recovery.h"

#include "lib/data/journal.h"
#include "lib/settings/globals.h"

namespace qztest {

std::vector<std::string> RecoverAsAtStart() {
  return qz::RecoverJournals(qz::G().PATH).problems;
}

}  // namespace qztest
