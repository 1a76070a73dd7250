#include "devices/credomat.h"

#include "devices/card_library.h"
#include "devices/stations.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

using PurchaseFn = char* (*)(char*, int, int, char*, char*, char*, char*, char*, char*, char*, int,
                             int, char*, int, char*, char*, char*);
using CancelFn = char* (*)(char*, char*, char*, char*);
using BatchFn = char* (*)(char*);

// The text the purchase call ends with, identifying this program.
constexpr const char* kPurchaseTag = "QZPCFG";

// Writable copies of the texts handed to the library.
class Args {
 public:
  char* operator()(const std::string& s) {
    held_.emplace_back(s.begin(), s.end());
    held_.back().push_back('\0');
    return held_.back().data();
  }

 private:
  std::vector<std::vector<char>> held_;
};

std::vector<std::string> Answer(const char* text) {
  return SplitAnswer(text ? std::string(text) : std::string());
}

}  // namespace

std::string MaskAccount(const std::string& account) {
  if (account.size() <= 4) return account;
  return std::string(account.size() - 4, '*') + account.substr(account.size() - 4);
}

CREDOMAT::CREDOMAT(Desktop& desktop, const std::string& business, const std::string& moneda,
                   int mode)
    : Negocio(PadRight(business, 15)), xMoneda(moneda), desktop_(desktop) {
  loaded_ = XCREDOMAT().Load();
  if (!loaded_) {
    MESSAGE_BOX("Library SOCKPOS.DLL not loaded...", "Error", kMbIconStop);
    return;
  }
  if (mode == 0) {
    if (auto row = FindStation(Negocio, WorkstationStation(Negocio), kCredomatic, moneda))
      xTerminalNumber = TrimmedParam(*row, 1);
    return;
  }
  if (mode == 1) PRE_CIERRE_CREDOMATIC();
  if (mode == 2) CIERRE_CREDOMATIC();
  AXIT();
}

void CREDOMAT::AXIT() {
  XCREDOMAT().Unload();
}

std::vector<std::string> CREDOMAT::PROCESS_TRANSACTION(double amount, int kind,
                                                       const std::string& account,
                                                       const std::string& text_a,
                                                       const std::string& text_b) {
  (void)kind;
  auto fn = reinterpret_cast<PurchaseFn>(XCREDOMAT().Function("dllpurchase"));
  if (!fn) return {};
  Args a;
  const std::string zero = FormatNumber(0, "999999999.99");
  auto f = Answer(fn(a(xTerminalNumber), 2, 1, a(account), a(Trim(FormatNumber(amount, "999999999.99"))),
                     a(text_a), a(text_b), a(zero), a(zero), a(zero), 0, 0, a(std::string(4, ' ')), 0,
                     a(std::string(9, ' ')), a(std::string(20, ' ')), a(kPurchaseTag)));
  const std::string code = AnswerField(f, 1);
  const bool approved = code == "00" || code == "08";
  return {approved ? "1" : "0",    MaskAccount(account), "", AnswerField(f, 5),
          AnswerField(f, 6),       AnswerField(f, 7),    AnswerField(f, 2)};
}

std::vector<std::string> CREDOMAT::CANCEL_TRANSACTION(const std::string& x, const std::string& y,
                                                      const std::string& z) {
  auto fn = reinterpret_cast<CancelFn>(XCREDOMAT().Function("dllcanceltrans"));
  if (!fn) return {};
  Args a;
  auto f = Answer(fn(a(xTerminalNumber), a(x), a(y), a(z)));
  return {AnswerField(f, 1) == "00" ? "1" : "0", AnswerField(f, 2)};
}

BatchResult CREDOMAT::Batch(const char* name, const std::string& terminal) {
  BatchResult r;
  auto fn = reinterpret_cast<BatchFn>(XCREDOMAT().Function(name));
  if (!fn) return r;
  Args a;
  auto f = Answer(fn(a(terminal.empty() ? xTerminalNumber : terminal)));
  r.respuesta = AnswerField(f, 1);
  r.descripcion = AnswerField(f, 2);
  r.autorizacion = AnswerField(f, 4);
  r.fecha = AnswerField(f, 6);
  r.venta = NumericValue(AnswerField(f, 12)) / 100;
  r.devoluciones = NumericValue(AnswerField(f, 13)) / 100;
  r.cantidad_venta = NumericValue(AnswerField(f, 14));
  r.cantidad_devol = NumericValue(AnswerField(f, 15));
  return r;
}

BatchResult CREDOMAT::PROCESS_SETTLEMENT(const std::string& terminal) {
  return Batch("dllsettlement", terminal);
}

BatchResult CREDOMAT::PROCESS_REPORT(const std::string& terminal) {
  return Batch("dllreport", terminal);
}

void CREDOMAT::PRE_CIERRE_CREDOMATIC() {
  DIALOG_BOX(desktop_, "PRE_CIE_CREDOMAT", nullptr, [this](WDIAG& d, int m, int64_t w, int64_t) {
    return Ctrl_Cie_Credomat(d, m, w, false);
  });
}

void CREDOMAT::CIERRE_CREDOMATIC() {
  DIALOG_BOX(desktop_, "CIE_CREDOMAT", nullptr, [this](WDIAG& d, int m, int64_t w, int64_t) {
    return Ctrl_Cie_Credomat(d, m, w, true);
  });
}

int CREDOMAT::Ctrl_Cie_Credomat(WDIAG& dlg, int msg, int64_t wparam, bool settlement) {
  CCOMBOBOX combo(dlg, 601);
  if (msg == kWmInitDialog) {
    RunOperation([&] {
      for (const auto& r : StationRows(Negocio, WorkstationStation(Negocio), kCredomatic))
        combo.ADD(r.descrip, r.params[0]);
    });
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(2);
    return 1;
  }
  if (wparam != 1) return 1;
  auto cargo = combo.CURCARGO();
  if (!cargo) {
    MESSAGE_BOX("Debe seleccionar una Terminal válida", "Error", kMbIconStop);
    return 1;
  }
  // A station without its terminal number cannot be asked about.
  if (Trim(*cargo).empty()) {
    MESSAGE_BOX(kTerminalNotFound, "Error", kMbIconStop);
    return 1;
  }
  BatchResult r = settlement ? PROCESS_SETTLEMENT(Trim(*cargo)) : PROCESS_REPORT(Trim(*cargo));
  dlg.SetText(501, r.respuesta);
  dlg.SetText(502, r.descripcion);
  dlg.SetText(503, r.autorizacion);
  dlg.SetText(504, r.fecha);
  dlg.SetText(505, Trim(FormatNumber(r.venta, "999,999,999,999.99")));
  dlg.SetText(506, Trim(FormatNumber(r.devoluciones, "999,999,999,999.99")));
  dlg.SetText(507, Trim(FormatNumber(r.cantidad_venta, "999,999,999,999")));
  dlg.SetText(508, Trim(FormatNumber(r.cantidad_devol, "999,999,999,999")));
  return 1;
}

}  // namespace qz
