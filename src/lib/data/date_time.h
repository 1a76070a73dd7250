// Today's date and time for logs and stamped records: the server's clock
// when the server engine is connected, else the workstation's.
#pragma once

#include <cstdint>
#include <string>

#include "lib/clock.h"

namespace qz {

// Julian day of today; `local` forces the workstation clock.
int32_t XDATE(bool local = false);
// "hh:mm:ss"; `local` forces the workstation clock.
std::string XTIME(bool local = false);
// The server clock with the workstation as fallback.
int32_t GET_SERVERDATE();
std::string GET_SERVERTIME();

// The program's date format: "dd/mm/yy" (8 blanks for the empty date).
std::string DateText(int32_t julian);
std::string TimeText(const LocalDateTime& t);
int32_t JulianOf(const LocalDateTime& t);

}  // namespace qz
