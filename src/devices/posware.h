// POSWARE: card payments and the batch closing on Banco Nacional de Costa
// Rica's terminals, through its client library CallPosWareClient.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lib/ui/desktop.h"

namespace qz {

class POSWARE {
 public:
  // INIT: stores business and currency and loads the library ("Library not
  // found!!!!!" when it cannot). Without a mode the station row of this
  // workstation for the currency gives merchant, merchant number and
  // terminal; mode 1 opens the closing window.
  POSWARE(Desktop& desktop, const std::string& business, const std::string& moneda = "",
          int mode = 0);

  // {result code, account, answer, reference, authorisation, "", code as
  // text}; kind 2: {result code, code as text}. Empty without the library.
  std::vector<std::string> PROCESS_TRANSACTION(double amount, const std::string& kind,
                                               const std::string& account = std::string(20, ' '),
                                               const std::string& reference = std::string(12, ' '),
                                               const std::string& authorization = std::string(6, ' '));
  // The settlement of the station row found on P_ELECT2 with `params`
  // (PARAM1 + PARAM2 + PARAM3); nothing when the row is missing (told) or
  // the library is.
  std::optional<int> PROCESS_SETTLEMENT(const std::string& station, const std::string& params);
  // The closing window "CIE_POSWARE".
  void CIERRE_POSWARE();

  const std::string Negocio;
  std::string xMoneda, xMerchant, xMerchantNumber, xTerminalNumber;
  bool loaded() const { return loaded_; }

 private:
  int Ctrl_Cie_Posware(WDIAG& dlg, int msg, int64_t wparam);
  Desktop& desktop_;
  bool loaded_ = false;
};

}  // namespace qz
