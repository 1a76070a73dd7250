#include "cash/deposits/hotel_box.h"

#include "cash/box_state.h"
#include "cash/deposits/deposit_data.h"
#include "lib/ini/private_profile.h"

namespace qz {

const BoxKind& HotelBoxKind() {
  return *BoxKindFor(kHotelToolbar);
}

std::string OpenHotelBox() {
  // CAJA_ABIERTA first: it lets go a box another workstation closed.
  if (!CAJA_ABIERTA() || ProcessCashBoxes().XH_CAJAS.kind != kHotelKind) return "";
  return GET_CAJA_ABIERTA();
}

bool StationTakesDeposits(const std::string& negocio, const std::string& caja) {
  const std::string key = Pad(negocio, 15) + Pad(caja, 2);
  return Trim(GetPrivateProfileString("AUT_HCAJA", key, "", QuartzelIni())) == "1";
}

}  // namespace qz
