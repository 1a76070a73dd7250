// Today's date and time for logs and stamped records: the server's clock
// when the server engine is connected, else the workstation's.
#pragma once

#include <cstdint>
#include <optional>
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
// Every date shown (grids, date fields, logs) goes through it.
std::string DateText(int32_t julian);
// A date as the user types it: "dd/mm/yy", "dd/mm/yyyy" or the digits alone
// ("311279", "31121979"); one-digit days and months are accepted
// ("1/2/03"). Two-digit years follow the 1980 epoch (80-99 are 1980-1999,
// 00-79 are 2000-2079). Blank text is the empty date (0); a day that does
// not exist or anything else is refused (nullopt). Every date field reads
// through it.
std::optional<int32_t> ParseDateText(const std::string& text);
std::string TimeText(const LocalDateTime& t);
int32_t JulianOf(const LocalDateTime& t);

}  // namespace qz
