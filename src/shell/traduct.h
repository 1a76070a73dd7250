// Business-specific wording: TRADUCT holds pairs of texts a business wants
// replaced in what the program shows (its own name for "Departamento", ...).
#pragma once

#include <string>

namespace qz {

// LOAD_TRADUCT: XTRADUCT := the business's pairs {SEQUENCE1, SEQUENCE2},
// trimmed, in table order. A missing table leaves no pairs.
void LOAD_TRADUCT(const std::string& business);
// P_TRADUCT: replaces every SEQUENCE1 by its SEQUENCE2, then the upper-case
// form of SEQUENCE1 by the upper-case form of SEQUENCE2, pair by pair.
std::string P_TRADUCT(const std::string& text);

}  // namespace qz
