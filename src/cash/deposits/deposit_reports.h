// The printed documents of hotel deposits: the voucher of one or more
// movements, and the deposit reports (prepayments by currency and concept,
// prepayments of a day, prepayments on checked-in or on pending
// reservations by arrival date, agency, segment or source). Each is built
// once as a page model and goes to the preview, a PDF or the printer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lib/ui/print_document.h"

namespace qz {

PrintDocument DepositVoucher(void* owner, const std::string& negocio,
                             const std::vector<std::string>& movimientos);

enum class DepositReport {
  kByCurrencyAndConcept,  // open balances, grouped by currency then concept
  kOfTheDay,              // deposits dated on `desde`
  kOnCheckedIn,           // applications to rooms already checked in
  kOnPending,             // applications to rooms still to arrive
};

enum class ReservationOrder { kArrival, kAgency, kSegment, kSource };

struct DepositReportRequest {
  std::string negocio;
  DepositReport kind = DepositReport::kByCurrencyAndConcept;
  ReservationOrder order = ReservationOrder::kArrival;
  int32_t desde = 0, hasta = 0;  // deposit dates; 0 = open
  bool include_annulled = false;
};

PrintDocument BuildDepositReport(void* owner, const DepositReportRequest& r);

}  // namespace qz
