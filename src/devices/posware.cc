#include "devices/posware.h"

#include <cstring>

#include "devices/card_library.h"
#include "devices/stations.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

using ProcessTransactionFn = int (*)(char*, char*, char*, char*, double, const char*, const char*,
                                     const char*, const char*, int);
using ProcessSettlementFn = int (*)(char*, char*, char*, int, int);

// A writable copy the library may fill; NULs it leaves become blanks.
struct Buffer {
  explicit Buffer(const std::string& s) : bytes(s.begin(), s.end()) { bytes.push_back('\0'); }
  char* data() { return bytes.data(); }
  std::string Text() const {
    std::string s(bytes.begin(), bytes.end() - 1);
    for (char& c : s)
      if (c == '\0') c = ' ';
    return s;
  }
  std::vector<char> bytes;
};

}  // namespace

POSWARE::POSWARE(Desktop& desktop, const std::string& business, const std::string& moneda,
                 int mode)
    : Negocio(PadRight(business, 15)), xMoneda(moneda), desktop_(desktop) {
  loaded_ = XPOSWARE().Load();
  if (!loaded_) {
    MESSAGE_BOX("Library not found!!!!!", "Error", kMbIconStop);
    return;
  }
  if (mode == 0) {
    if (auto row = FindStation(Negocio, WorkstationStation(Negocio), kBancoNacional, moneda)) {
      xMerchant = TrimmedParam(*row, 1);
      xMerchantNumber = TrimmedParam(*row, 2);
      xTerminalNumber = TrimmedParam(*row, 3);
    }
  } else if (mode == 1) {
    CIERRE_POSWARE();
  }
}

std::vector<std::string> POSWARE::PROCESS_TRANSACTION(double amount, const std::string& kind,
                                                      const std::string& account,
                                                      const std::string& reference,
                                                      const std::string& authorization) {
  auto fn = reinterpret_cast<ProcessTransactionFn>(XPOSWARE().Function("ProcessTransaction"));
  if (!fn) return {};
  Buffer merchant(xMerchant), number(xMerchantNumber), terminal(xTerminalNumber), k(kind);
  Buffer acc(account), ref(reference), auth(authorization), answer(std::string(42, ' '));
  const int rc = fn(merchant.data(), number.data(), terminal.data(), k.data(), amount, acc.data(),
                    ref.data(), auth.data(), answer.data(), 99);
  if (Trim(kind) == "2") return {std::to_string(rc), std::to_string(rc)};
  return {std::to_string(rc), acc.Text(), answer.Text(), ref.Text(), auth.Text(), "",
          std::to_string(rc)};
}

std::optional<int> POSWARE::PROCESS_SETTLEMENT(const std::string& station,
                                               const std::string& params) {
  auto row = FindSettlementStation(Negocio, station, params);
  // A row without merchant and terminal cannot be settled either: asking
  // the bank with blanks would only return the bank's own error.
  if (!row || (TrimmedParam(*row, 1).empty() && TrimmedParam(*row, 3).empty())) {
    MESSAGE_BOX(kTerminalNotFound, "Error", kMbIconStop);
    return std::nullopt;
  }
  auto fn = reinterpret_cast<ProcessSettlementFn>(XPOSWARE().Function("ProcessSettlement"));
  if (!fn) return std::nullopt;
  Buffer merchant(TrimmedParam(*row, 1)), number(TrimmedParam(*row, 2)),
      terminal(TrimmedParam(*row, 3));
  return fn(merchant.data(), number.data(), terminal.data(), 100, 99);
}

void POSWARE::CIERRE_POSWARE() {
  DIALOG_BOX(desktop_, "CIE_POSWARE", nullptr,
             [this](WDIAG& d, int msg, int64_t w, int64_t) { return Ctrl_Cie_Posware(d, msg, w); });
}

int POSWARE::Ctrl_Cie_Posware(WDIAG& dlg, int msg, int64_t wparam) {
  CCOMBOBOX combo(dlg, 601);
  const std::string station = WorkstationStation(Negocio);
  if (msg == kWmInitDialog) {
    RunOperation([&] {
      for (const auto& r : StationRows(Negocio, station, kBancoNacional))
        combo.ADD(r.descrip, r.params[0] + r.params[1] + r.params[2]);
    });
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(2);
  } else if (wparam == 1) {
    auto cargo = combo.CURCARGO();
    if (!cargo) {
      MESSAGE_BOX("Debe seleccionar una Terminal válida", "Error", kMbIconStop);
      return 1;
    }
    std::optional<int> rc;
    RunOperation([&] { rc = PROCESS_SETTLEMENT(station, *cargo); });
    // The bank's answer is told, so a refused closing is not taken for done.
    if (rc && *rc == 0) {
      MESSAGE_BOX("Cierre procesado correctamente", "Aviso", kMbIconInformation);
    } else if (rc) {
      MESSAGE_BOX("El banco no aceptó el cierre. Código: " + std::to_string(*rc), "Error",
                  kMbIconStop);
    }
  }
  return 1;
}

}  // namespace qz
