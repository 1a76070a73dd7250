// The dialogs the deposit browse opens: correcting a guest's data
// (COR_DEP), the annulment (ANUL_DEP) and the deposit reports (REP_DEP).
#pragma once

#include <string>

#include "lib/ui/wdiag.h"

namespace qz {

// Surname, first name, arrival, departure and comment of `movimiento`
// (NOMBRE rebuilt); true when saved.
bool CorrectGuestData(WDIAG& owner, const std::string& negocio, const std::string& movimiento);

// Annulment date and person, then the annulment; true when done.
bool AskAnnulment(WDIAG& owner, const std::string& negocio, const std::string& movimiento);

// The report chooser: kind, order, dates; preview, PDF or printer.
void ShowDepositReports(WDIAG& owner, const std::string& negocio);

}  // namespace qz
