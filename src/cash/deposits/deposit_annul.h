// Annulling a hotel deposit: the checks of the browse (selection, state,
// rooms, master accounts, box, station), the checks of the annulment
// window (date and period), then in one transaction the reversal of its
// postings, the annulment stamps and the removal of its applications.
#pragma once

#include <cstdint>
#include <string>

#include "lib/ui/desktop.h"

namespace qz {

// The browse's checks before the annulment window opens; each refusal is
// shown. `movimiento` empty: nothing selected.
bool MayAnnulDeposit(void* owner, const std::string& negocio, const std::string& movimiento);

// The annulment window's OK: date and person given there.
bool AnnulDeposit(WDIAG* owner, const std::string& negocio, const std::string& movimiento,
                  int32_t fecha, const std::string& hecho_por);

}  // namespace qz
