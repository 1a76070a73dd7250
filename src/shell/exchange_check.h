// The exchange-rate freshness check run at start and after every business
// change: every currency of the business must have a rate against the
// accounting currency that is not older than the business allows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/users.h"

namespace qz {

// OBT_DIA_F: the oldest acceptable rate date; none when CANT_MON <= 0. With
// CHECK_MON = 1 it is CANT_MON days before today, otherwise CANT_MON months
// before today on today's day number (the month's last day when it has no
// such day).
std::optional<int32_t> OBT_DIA_F(const BusinessRow& b, int32_t today);

// The lines "Debe actualizar la definición de tipos de cambio de ..." for
// the business (empty when every rate is current or the check is off).
std::vector<std::string> StaleRateLines(const std::string& business);

// CHECK_CAMBIO: shows the lines, if any, with title "Atención".
void CHECK_CAMBIO(const std::string& business);

}  // namespace qz
