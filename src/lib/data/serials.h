// Serial numbers (SERIALES): the next number of a business's serial, padded,
// prefixed and suffixed as the serial's row says, taken under the row's lock
// so that two workstations never get the same number.
#pragma once

#include <string>

#include "lib/data/wtable.h"

namespace qz {

inline constexpr char kNoSerial[] = "NO_SERIAL!     ";

// Issues the next serial (15 characters); "NO_SERIAL!     " for an unknown code.
std::string GET_NXSERIAL(void* parent, const std::string& negocio, const std::string& codigo,
                         WDBTable* seriales = nullptr);
// The serial GET_NXSERIAL would issue now, without issuing it.
std::string GET_CURRENTSERIAL(void* parent, const std::string& negocio, const std::string& codigo);
// The last serial this process took.
const std::string& LastSerialTaken();

}  // namespace qz
