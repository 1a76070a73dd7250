// The cashiers (DIGITA) and the two-password dialog every cash box
// operation asks: the opening ("ABRE_xCAJA"), the re-attach (same dialog,
// title "Reabrir Caja") and the authorised closing ("PASS_xCAJA", only
// cashiers who may close).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qz {

class Desktop;
class WDIAG;

struct Cashier {
  std::string code;   // table bytes
  std::string name;   // UTF-8, trimmed
  std::string clave;  // table bytes, 10 characters
  int cierre = 0;     // 1 = may authorise a closing
};

// The business's cashiers in table order.
std::vector<Cashier> ReadCashiers(const std::string& business);

// A typed password as stored: cut or blank-padded to 10 characters.
std::string PasswordField(const std::string& typed_utf8);

struct PasswordRequest {
  std::string template_name;
  std::string title;         // "" = the template's
  bool only_closers = false;  // list only cashiers with CIERRE 1
  bool preselect_single = true;
  std::string box_password;  // the box's PASSWORD (table bytes)
  // Run on OK before the passwords (the sales kind checks the station
  // again); false keeps the dialog open.
  std::function<bool()> recheck;
};

// Runs the dialog; the cashier when both passwords matched, nullopt when
// the user cancelled.
std::optional<Cashier> AskCashierPasswords(Desktop& desktop, WDIAG* owner,
                                           const std::string& business,
                                           const PasswordRequest& request);

}  // namespace qz
