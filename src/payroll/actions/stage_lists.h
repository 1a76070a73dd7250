// The approval stages a person in charge may modify and authorise are kept
// in AUTO_PLA as "[" + stage code + "]" per stage (ETAPAS_MOD, ETAPAS_AUT),
// and the digital signatures (USR_REQ: ETAPAS_REQ, ETAPAS_CXP, ETAPAS_ABO,
// NOTIFICA) list stages the same way; the action types (TIP_ACC, TIP_ACC2: ETAPA_INI) and the payroll
// parameters (F_PLAN: ETAP_INI, ETAP_INTER, ETAP_FIN) name stages too. A
// renamed stage is carried into all of them, a deleted one taken out of the
// persons' and the signatures' lists.
//
// Each table is walked once with one handle and each row locked once for
// all its fields: inside a transaction the locks of changed rows are kept
// to the end, and a second handle of the same table would find them taken.
#pragma once

#include <string>

namespace qz {

// `list` without any "[code]" of `code` (compared without trailing blanks).
std::string RemoveBracketedCode(const std::string& list, const std::string& code);

// Carries stage `old_code` into `new_code` (table bytes) in every row of the
// business that names it; returns the number of rows changed. A row another
// user holds is waited for as the data layer waits.
int RenameStage(const std::string& business, const std::string& old_code,
                const std::string& new_code);

// Takes stage `code` out of the stage lists of every person in charge and
// every digital signature of the business; returns the number of rows
// changed.
int RemoveStageFromPersons(const std::string& business, const std::string& code);

}  // namespace qz
