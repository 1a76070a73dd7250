// CREDOMAT: card payments, cancellations, the batch report (pre-closing)
// and the batch settlement on Credomatic's terminals, through its client
// library SockPos, which answers with texts of ";"-separated fields.
#pragma once

#include <string>
#include <vector>

#include "lib/ui/desktop.h"

namespace qz {

// What a settlement or a report answers.
struct BatchResult {
  std::string respuesta, descripcion, autorizacion, fecha;  // f1, f2, f4, f6
  double venta = 0, devoluciones = 0;                         // f12, f13 in hundredths
  double cantidad_venta = 0, cantidad_devol = 0;              // f14, f15
};

class CREDOMAT {
 public:
  // INIT: loads the library ("Library SOCKPOS.DLL not loaded..." when it
  // cannot). Without a mode the station row of this workstation for the
  // currency gives the terminal; mode 1 opens the pre-closing window, mode 2
  // the closing window, and the library is unloaded afterwards (AXIT).
  CREDOMAT(Desktop& desktop, const std::string& business, const std::string& moneda = "",
           int mode = 0);

  // {1 approved ("00" or "08") or 0, masked account, "", reference,
  // authorisation, system trace, message}; empty without the library.
  std::vector<std::string> PROCESS_TRANSACTION(double amount, int kind, const std::string& account,
                                               const std::string& text_a,
                                               const std::string& text_b);
  // {1 or 0, message}; empty without the library.
  std::vector<std::string> CANCEL_TRANSACTION(const std::string& a, const std::string& b,
                                              const std::string& c);
  // Empty results without the library; missing answer fields read empty.
  BatchResult PROCESS_SETTLEMENT(const std::string& terminal);
  BatchResult PROCESS_REPORT(const std::string& terminal);
  void PRE_CIERRE_CREDOMATIC();
  void CIERRE_CREDOMATIC();
  void AXIT();

  const std::string Negocio;
  std::string xMoneda, xTerminalNumber;
  bool loaded() const { return loaded_; }

 private:
  BatchResult Batch(const char* fn, const std::string& terminal);
  int Ctrl_Cie_Credomat(WDIAG& dlg, int msg, int64_t wparam, bool settlement);
  Desktop& desktop_;
  bool loaded_ = false;
};

// The account shown on slips: every character but the last four as "*".
std::string MaskAccount(const std::string& account);

}  // namespace qz
