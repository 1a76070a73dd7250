// The card payment of a deposit whose concept names an electronic payment
// type: "01" on Banco Nacional's terminal (POSWARE), "02" on Credomatic's
// (CREDOMAT), at this workstation's station for the deposit's currency.
#pragma once

#include <string>

#include "lib/ui/desktop.h"

namespace qz {

struct CardPayment {
  bool approved = false;
  std::string tarjeta, referencia, autorizacion, trace;
  std::string message;  // the bank's text of a refusal
};

// Charges `monto`; a refusal (or a terminal that cannot be reached) comes
// back not approved with the bank's text.
CardPayment ChargeCard(Desktop& desktop, const std::string& negocio, const std::string& tipo,
                       const std::string& moneda, double monto, const std::string& account,
                       const std::string& guest);

// Gives back an approved payment whose deposit could not be written.
void CancelCardPayment(Desktop& desktop, const std::string& negocio, const std::string& tipo,
                       const std::string& moneda, const CardPayment& payment);

inline constexpr const char* kCardRefusedPrefix = "TARJETA DENEGADA: ";
inline constexpr const char* kBankDefaultText = "Error notificado del Banco";

}  // namespace qz
