// The password of a signature or of a person who authorises (USR_REQ,
// AUTO_PLA CLAVE): stored scrambled as the suite stores its users'
// passwords, so every program checks it the same way, and never shown
// again — on modify its field is left blank, and blank keeps what is stored.
#pragma once

#include <string>

#include "lib/ui/wdiag.h"
#include "xbase/table.h"

namespace qz {

// False (the user told, the field focused) when what was typed into `id`
// could not survive the stored field.
bool PasswordStorable(WDIAG& w, int id);

// Writes what was typed into `id` into `field` of the locked row; blank
// keeps the stored password, except on a new row (`adding`), which stores
// blanks. Clears the field afterwards.
void WritePassword(WDIAG& w, int id, xb::Table& t, const std::string& field, bool adding);

}  // namespace qz
