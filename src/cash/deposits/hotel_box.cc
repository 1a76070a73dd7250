#include "cash/deposits/hotel_box.h"

#include "cash/deposits/deposit_data.h"
#include "lib/ini/private_profile.h"

namespace qz {
namespace {

std::string& HeldBox() {
  static std::string box;
  return box;
}

}  // namespace

std::string OpenHotelBox() {
  return HeldBox();
}

void HoldHotelBox(const std::string& caja) {
  HeldBox() = Trim(caja).empty() ? "" : Pad(caja, 2);
}

bool StationTakesDeposits(const std::string& negocio, const std::string& caja) {
  const std::string key = Pad(negocio, 15) + Pad(caja, 2);
  return Trim(GetPrivateProfileString("AUT_HCAJA", key, "", QuartzelIni())) == "1";
}

}  // namespace qz
