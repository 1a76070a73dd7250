// Scheduled price changes (installations with F_INV.PREC_AUTO = 1): price
// lists prepared in ENC_PPRE/DET_PPRE are applied to DET_PREC once their
// date and time have come.
#pragma once

#include <string>

namespace qz {

// Applies every pending header of the business that is due (dated before
// today, or today at or before now), in index order; returns how many.
int APLICA_PRECIOS(const std::string& business);

}  // namespace qz
