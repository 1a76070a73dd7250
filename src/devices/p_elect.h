// Stations catalog (P_ELECT, window "P_ELECT"): one row per station, bank
// and currency, with the bank's parameters. Add and modify use the dialog
// "E_P_ELECT". A station code repeats across banks and currencies, so codes
// are not refused as duplicates.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class P_ELECT : public CatalogScreen {
 public:
  static constexpr int kMenuId = 6190;
  // Controls of "E_P_ELECT".
  static constexpr int kCodigo = 501, kDescrip = 502, kNacional = 201, kCredomatic = 202;
  static constexpr int kMoneda = 504, kParam1 = 505;

  P_ELECT(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void Add() override;
  void Modify() override;

 private:
  int Ctrl(WDIAG& dlg, int msg, int64_t wparam, int mode);
};

// Station assignment (A_ELECT, dialog "A_ELECT"): this workstation's station
// code, slip printer, slip header lines and terminal id, in QUARTZEL.INI.
void A_ELECT(Desktop& desktop, const std::string& business);

}  // namespace qz
