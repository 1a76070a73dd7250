// The closing report of a cash box shift ("Cierre de Caja"): run when a box
// closes ("Cierre Final") and, while it is open, as the preliminary report
// ("Preliminar", up to 23:59:59 of today). The hotel's report (HP_CIERRE)
// lists the money the box took from the folio lines; the other kinds print
// their shift's account and what their module's tables say the box took.
#pragma once

#include <string>

#include "cash/box_state.h"
#include "lib/ui/print_document.h"

namespace qz {

class Desktop;
class WDIAG;

// The document name of every closing report.
inline constexpr const char* kClosingDocument = "Cierre de Caja";

// The report window of the kind for one shift (modal; it prints to the
// preview, from which the user prints or saves a PDF).
void RunClosingReport(Desktop& desktop, WDIAG* owner, const BoxKind& kind,
                      const std::string& business, const BoxHeader& box, const Shift& shift);

// The period a report covers: a shift still open ends at 23:59:59 of today.
struct ReportPeriod {
  int32_t from_date = 0;
  std::string from_time;
  int32_t to_date = 0;
  std::string to_time;
  bool preliminary = false;
};
ReportPeriod PeriodOf(const Shift& shift);
// "Entre: " + from date and time + "  y " + to date and time.
std::string PeriodText(const ReportPeriod& period);

// The foot every closing report ends with: two rules with the cashier's
// signature and the reviewer's under them.
void PrintSignatureLines(PageWriter& w);

// What the user chose in the hotel report window.
struct HotelReportOptions {
  std::string currency;   // report currency code; "" = "Ninguna" (each folio's own)
  bool lines = true;      // 1001: print the lines
  bool summary = false;   // 1002: one line per transaction code
  bool merge_groups = false;  // 1003
  bool invoices = false;      // 1004
};

// The hotel report's document (the window's "Imprimir").
PrintDocument HotelClosingReport(const std::string& business, const BoxHeader& box,
                                 const ReportPeriod& period, const HotelReportOptions& options);

// What the reservations, timeshare and sales reports list under the shift's
// account (kind_reports.cc); the sales kind's report is kNone.
void PrintKindListing(PageWriter& w, ClosingReport report, const std::string& business,
                      const std::string& box, const ReportPeriod& period);

// The sales listing: the documents of `box` (every box of the business,
// with a column and a summary per box, when blank) in the period, their
// payments by movement type, the taxes by type, then the sales and the
// collected grand totals, each per currency. Annulled documents are left out.
// `by_article` adds the articles sold (quantity and net amount per article,
// grouped by article line).
void PrintSalesListing(PageWriter& w, const std::string& business, const std::string& box,
                       const ReportPeriod& period, bool by_article = false);

// The report of the other kinds: title lines and period, the shift's
// account, then the kind's listing. `cashier` (a DIGITA code) is the one
// printed; the shift's own when blank.
PrintDocument ShiftClosingReport(const BoxKind& kind, const std::string& business,
                                 const BoxHeader& box, const Shift& shift,
                                 const std::string& cashier = "");

}  // namespace qz
