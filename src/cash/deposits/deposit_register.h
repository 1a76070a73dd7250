// Registering a hotel deposit at the hotel box open here: the checks (each
// refusal a message that stops before anything is written), the card
// payment, then in one transaction the movement (ENC_HLIB, DET_HLIB), its
// accounting (bank book or journal) and its applications to reservations.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cash/deposits/deposit_card.h"
#include "cash/deposits/deposit_data.h"
#include "lib/ui/desktop.h"

namespace qz {

// The rates the screen proposes for a currency and concept.
struct DepositRates {
  std::string moneda;  // a bank concept fixes it to its account's currency
  double cambio_res = 0;
  double cambio_con = 0;
  bool typed_con = false;  // the bank concept asks for the accounting rate
};

class DepositRegistration {
 public:
  DepositRegistration(Desktop& desktop, WDIAG* owner = nullptr)
      : desktop_(desktop), owner_(owner) {}

  // Recomputed when the currency or the concept changes; a rate used
  // already on this screen for a currency is proposed again.
  DepositRates ProposeRates(const DepositForm& form);

  // Registers the deposit; the movement number, or nothing when a check
  // refused it or the writing failed (then nothing is written).
  std::optional<std::string> Register(DepositForm form);

  // The texts of applications skipped by the last Register.
  const std::vector<std::string>& skipped() const { return skipped_; }

 private:
  bool Check(DepositForm& form, const DepositConcept& c, const HotelSettings& h);
  bool CheckRates(const DepositForm& form, const HotelSettings& h);
  bool CheckApplications(DepositForm& form, const DepositConcept& c, const HotelSettings& h);
  bool CheckCounterpart(const DepositForm& form, const DepositConcept& c);
  bool CheckAccounts(const DepositForm& form, const DepositConcept& c);
  std::string Write(const DepositForm& form, const DepositConcept& c, const HotelSettings& h,
                    const std::string& caja);

  Desktop& desktop_;
  WDIAG* owner_;
  std::map<std::string, double> used_res_, used_con_;
  std::vector<std::string> skipped_;
  CardPayment card_;
};

inline constexpr const char* kSkippedPrefix = "No se puede aplicar a la Reservación: ";
inline constexpr const char* kSkippedSuffix =
    ", pues ya se encuentra Check-In esta Habitación";

}  // namespace qz
