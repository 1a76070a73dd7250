// Card-terminal stations of the demo: the front desk of each business has a
// terminal of each bank in colones and one in dollars; the bank parameters
// are the simulators' (merchant, merchant number and terminal number for
// the first bank, the terminal number for the second).
#include "lib/install/demo/demo_context.h"

namespace qz::demo {

xb::Status AddStations(Context& c) {
  struct Terminal {
    const char* bank;
    const char* currency;
    const char* what;
  };
  const Terminal terminals[] = {{"01", "CR", "Banco Nacional colones"},
                                {"01", "US", "Banco Nacional dólares"},
                                {"02", "CR", "Credomatic colones"},
                                {"02", "US", "Credomatic dólares"}};
  int serial = 0;
  for (const auto& b : c.businesses) {
    for (const auto& t : terminals) {
      ++serial;
      const std::string number = std::to_string(70010000 + serial);
      XB_RETURN_IF_ERROR(c.Add("P_ELECT", [&](Row& r) {
        r.Set("NEGOCIO", b.code).Set("CODIGO", "RECEPCION");
        r.Set("DESCRIP", std::string("Recepción - ") + t.what);
        r.Set("BANCO", t.bank).Set("MONEDA", t.currency);
        if (std::string(t.bank) == "01") {
          r.Set("PARAM1", "COMERCIO " + b.code).Set("PARAM2", std::to_string(440000 + serial));
          r.Set("PARAM3", number);
        } else {
          r.Set("PARAM1", number);
        }
      }));
    }
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
