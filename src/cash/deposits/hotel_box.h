// The hotel cash box a deposit is taken at: the box this workstation holds
// open (cash/box_state.h) and whether this station may register deposits
// on it.
#pragma once

#include <string>

namespace qz {

struct BoxKind;

// The kind of box deposits are taken at.
const BoxKind& HotelBoxKind();

// The code of the hotel box open at this workstation; empty when none is
// (a box of another kind takes no hotel deposits).
std::string OpenHotelBox();

// QUARTZEL.INI section "AUT_HCAJA", key business + box code, must be "1".
bool StationTakesDeposits(const std::string& negocio, const std::string& caja);

inline constexpr const char* kNoOpenBox = "No hay Caja Abierta...";
inline constexpr const char* kStationRefused =
    "Esta estación no está autorizada para registrar Pre-Pagos";

}  // namespace qz
