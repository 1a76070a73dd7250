// Drop-downs filled from the business's rows: a catalog's codes, and the
// document serials of the personnel module.
#pragma once

#include <string>

#include "lib/ui/lists.h"
#include "lib/ui/wdiag.h"

namespace qz {

// The rows of `table` (index order 1, keyed business + CODIGO) of the
// business: text DESCRIP, cargo CODIGO as stored (blank-padded).
void FillCodes(CCOMBOBOX& combo, WDIAG* owner, const std::string& table,
               const std::string& business);

// The serials of module "06" of the business (SERIALES, tag SERIAL3, key
// business + "06" + 7 blanks): text DESCRIP (the code when it has none),
// cargo CODIGO as stored.
void FillSerials(CCOMBOBOX& combo, WDIAG* owner, const std::string& business);

// The business's default initial stage of personnel actions (F_PLAN
// ETAP_INI, table bytes); blank when the business has no parameters.
std::string DefaultInitialStage(WDIAG* owner, const std::string& business);

// The accounting links of module `module` ("06" payroll, "04" banks) of the
// business (LIGAS, tag LIGA3, key business + module padded to 9): text
// DESCRIP (the code when it has none), cargo CODIGO as stored.
void FillLinks(CCOMBOBOX& combo, WDIAG* owner, const std::string& business,
               const std::string& module);

}  // namespace qz
