// The deposit registration window (REG_DEP): concept, person, date,
// currency and amount with the proposed rates, the guest, the accounting
// counterpart and the reservations the deposit is applied to. "Registrar"
// hands everything to DepositRegistration, which checks in the user's order
// and writes all or nothing; a refused deposit keeps what was typed, a
// registered one clears the deposit's fields for the next.
#pragma once

#include <memory>
#include <string>

#include "cash/deposits/deposit_lines.h"
#include "cash/deposits/deposit_register.h"
#include "lib/ui/wdiag.h"

namespace qz {

class REG_DEP : public WDIAG {
 public:
  enum : int {
    kConcept = 601,
    kCurrency = 602,
    kMadeBy = 603,
    kDate = 501,
    kAmount = 502,
    kNumber = 503,
    kCard = 504,
    kSurname = 505,
    kFirstName = 506,
    kArrival = 507,
    kDeparture = 508,
    kComment = 509,
    kRateRes = 510,
    kRateCon = 511,
    kLast = 520,
    kCounterGrid = 701,
    kApplicationsGrid = 702,
    kAddLine = 211,
    kRemoveLine = 212,
    kAddReservation = 221,
    kRemoveReservation = 222,
  };

  REG_DEP(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~REG_DEP() override;

  bool Init();
  // "Registrar": the movement registered, or empty when refused.
  std::string Registrar();
  // Concept, currency or date changed: the currency a bank concept fixes,
  // the card field, and the rates proposed again.
  void ProposeRates();
  // The reservation-selection dialog; the chosen room line joins the
  // applications (with COM_PREPA the comment tells reservation and dates).
  void AddReservation();

  DepositLines& lines() { return lines_; }
  // The form as typed; false (after telling the user) for a date that is
  // no date.
  bool ReadForm(DepositForm* form) const;

 private:
  void CerrarBases();
  void FillCombos();
  void ClearDeposit();

  std::string negocio_;
  DepositLines lines_;
  DepositRegistration registration_;
  HotelSettings hotel_;
};

REG_DEP* OpenDepositRegistration(Desktop& desktop, const std::string& business);

}  // namespace qz
