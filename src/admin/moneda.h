// Currencies (MONEDA, window "MONEDA", edit dialog "MODIMONEDA"): the
// business's currencies with their symbol, minimum rate, equivalent
// currency and balance roundings. Changing a currency's code carries the new
// code into every row of the suite that refers to it, all or nothing
// (currency_rekey.h).
#pragma once

#include <string>
#include <vector>

#include "admin/currency_rekey.h"
#include "lib/ui/catalog.h"

namespace qz {

class MONEDA : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2779;
  // Controls of "MODIMONEDA".
  static constexpr int kCodigo = 500, kDescrip = 501, kSimbolo = 502, kCambioMin = 503,
                       kSiglas = 504, kSalCxp = 505, kSalCxc = 506, kNegativo = 1001,
                       kEquival = 601;

  MONEDA(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void Add() override;
  void Modify() override;

 private:
  int Ctrl(WDIAG& dlg, int msg, int64_t wparam, int mode);
  void Load(WDIAG& dlg, int mode);
  bool Save(WDIAG& dlg, int mode);
};

// Every row that refers to currency `code` of `business` (table bytes), in
// the order they are re-keyed: documents, cheques and invoices of the suite,
// both ends of the currency relations, both ends of the rate history, the
// business's accounting currency and the currencies that name it as their
// equivalent (`own_recno`, the currency's own MONEDAS row, left out).
std::vector<RekeyTarget> CurrencyReferences(const std::string& business, const std::string& code,
                                            uint32_t own_recno);

}  // namespace qz
