#include "cash/deposits/deposit_card.h"

#include "cash/deposits/deposit_data.h"
#include "devices/credomat.h"
#include "devices/posware.h"
#include "devices/stations.h"

namespace qz {
namespace {

std::string At(const std::vector<std::string>& v, size_t i) {
  return i < v.size() ? Trim(v[i]) : "";
}

}  // namespace

CardPayment ChargeCard(Desktop& desktop, const std::string& negocio, const std::string& tipo,
                       const std::string& moneda, double monto, const std::string& account,
                       const std::string& guest) {
  CardPayment out;
  if (Trim(tipo) == kBancoNacional) {
    POSWARE pos(desktop, negocio, moneda);
    auto r = pos.PROCESS_TRANSACTION(monto, "1", Pad(account, 20));
    // {code, account, answer, reference, authorisation, "", code as text}
    out.approved = r.size() >= 5 && At(r, 0) == "0";
    out.tarjeta = At(r, 1);
    out.message = At(r, 2);
    out.referencia = At(r, 3);
    out.autorizacion = At(r, 4);
  } else if (Trim(tipo) == kCredomatic) {
    CREDOMAT credo(desktop, negocio, moneda);
    auto r = credo.PROCESS_TRANSACTION(monto, 1, account, "DEPOSITO", guest);
    // {1 or 0, masked account, "", reference, authorisation, trace, message}
    out.approved = At(r, 0) == "1";
    out.tarjeta = At(r, 1);
    out.referencia = At(r, 3);
    out.autorizacion = At(r, 4);
    out.trace = At(r, 5);
    out.message = At(r, 6);
  }
  if (!out.approved && out.message.empty()) out.message = kBankDefaultText;
  return out;
}

void CancelCardPayment(Desktop& desktop, const std::string& negocio, const std::string& tipo,
                       const std::string& moneda, const CardPayment& payment) {
  if (!payment.approved) return;
  if (Trim(tipo) == kCredomatic) {
    CREDOMAT credo(desktop, negocio, moneda);
    credo.CANCEL_TRANSACTION(payment.referencia, payment.autorizacion, payment.trace);
  } else if (Trim(tipo) == kBancoNacional) {
    POSWARE pos(desktop, negocio, moneda);
    pos.PROCESS_TRANSACTION(0, "2", Pad(payment.tarjeta, 20), Pad(payment.referencia, 12),
                            Pad(payment.autorizacion, 6));
  }
}

}  // namespace qz
