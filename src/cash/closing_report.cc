#include "cash/closing_report.h"

#include <vector>

#include "cash/cashiers.h"
#include "cash/sales_report.h"
#include "lib/data/date_time.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/report_output.h"

namespace qz {
namespace {

enum : int {
  kBoxCode = 500,
  kBoxDescrip = 501,
  kFromDate = 502,
  kFromTime = 503,
  kToDate = 504,
  kToTime = 505,
  kCurrency = 601,
  kPrintLines = 1001,
  kSummary = 1002,
  kMergeGroups = 1003,
  kInvoices = 1004,
};

constexpr const char* kNoCurrency = "Ninguna";

std::string Title(ClosingReport report) {
  return report == ClosingReport::kReservations || report == ClosingReport::kTimeshare
             ? "CIERRE DE CAJA PRE-PAGOS"
             : "CIERRE DE CAJA";
}

void FillCurrencies(WDIAG& d, const std::string& business) {
  d.ClearEntries(kCurrency);
  TablePtr t = USE(nullptr, "MONEDAS", "MONEDAS");
  for (t->Seek(business, true); !t->Eof(); t->Skip()) {
    if (FieldBytes(t->table(), "NEGOCIO") != business) break;
    d.AddEntry(kCurrency, FieldText(t->table(), "DESCRIP"), FieldBytes(t->table(), "CODIGO"));
  }
  KILLTABLA(t);
  d.AddEntry(kCurrency, kNoCurrency, "");
  d.SetCurrent(kCurrency, static_cast<int>(d.Control(kCurrency)->entries.size()) - 1);
}

HotelReportOptions OptionsOf(const WDIAG& d) {
  HotelReportOptions o;
  if (const ControlState* c = d.Control(kCurrency); c && c->current >= 0)
    o.currency = c->entries[c->current].cargo;
  o.lines = d.Check(kPrintLines) == 1;
  o.summary = d.Check(kSummary) == 1;
  o.merge_groups = d.Check(kMergeGroups) == 1;
  o.invoices = d.Check(kInvoices) == 1;
  return o;
}

}  // namespace

std::string PeriodText(const ReportPeriod& p) {
  return "Entre: " + DateText(p.from_date) + " " + p.from_time + "  y " + DateText(p.to_date) +
         " " + p.to_time;
}

void PrintSignatureLines(PageWriter& w) {
  w.RuleBelow(0, 30);
  w.RuleBelow(50, 80);
  w.NewLine();
  w.Say(0, "Firma del Cajero");
  w.Say(50, "Revisado por:");
  w.NewLine();
}

ReportPeriod PeriodOf(const Shift& shift) {
  ReportPeriod p;
  p.from_date = shift.fecha_ini;
  p.from_time = PadRight(shift.hora_ini, 8);
  p.to_date = shift.fecha_fin;
  p.to_time = PadRight(shift.hora_fin, 8);
  if (Trim(p.to_time).empty()) {
    p.preliminary = true;
    p.to_time = "23:59:59";
  }
  if (p.to_date == 0) p.to_date = XDATE();
  return p;
}

void RunClosingReport(Desktop& desktop, WDIAG* owner, const BoxKind& kind,
                      const std::string& business, const BoxHeader& box, const Shift& shift) {
  if (kind.sales()) {
    // The sales window (V_CIERRE) has controls of its own.
    RunSalesClosingReport(desktop, owner, business, box, shift, "");
    return;
  }
  const ReportPeriod period = PeriodOf(shift);
  const bool hotel = kind.report == ClosingReport::kHotel;
  DIALOG_BOX(desktop, kind.report_template, owner,
             [&](WDIAG& d, int msg, int64_t wparam, int64_t) -> int {
               if (msg == kWmInitDialog) {
                 d.SetText(kBoxCode, Trim(box.code));
                 d.SetText(kBoxDescrip, box.descrip);
                 d.SetDate(kFromDate, period.from_date);
                 d.SetText(kFromTime, period.from_time);
                 d.SetDate(kToDate, period.to_date);
                 d.SetText(kToTime, period.to_time);
                 if (hotel) {
                   FillCurrencies(d, PadRight(business, 15));
                   d.SetCheck(kPrintLines, 1);
                 }
                 return 1;
               }
               if (msg != kWmCommand) return 0;
               if (wparam == 2) {
                 d.ENDDIALOG(2);
               } else if (wparam == 1) {
                 PREVIEW_REPORT(desktop, hotel ? HotelClosingReport(business, box, period,
                                                                    OptionsOf(d))
                                               : ShiftClosingReport(kind, business, box, shift));
               }
               return 1;
             });
}

PrintDocument ShiftClosingReport(const BoxKind& kind, const std::string& business,
                                 const BoxHeader& box, const Shift& shift,
                                 const std::string& cashier_code) {
  const ReportPeriod period = PeriodOf(shift);
  // The cashier the caller names (the sales box's: who holds it now, who
  // may have re-attached it), else the one who opened the shift.
  const std::string code = Trim(cashier_code).empty() ? shift.agente : cashier_code;
  std::string cashier = Trim(code);
  for (const Cashier& c : ReadCashiers(business))
    if (Trim(c.code) == Trim(code)) cashier += " " + c.name;
  PageWriter w("Cierre de Caja", 66, 100);
  w.UseReportFrame({Title(kind.report), "Caja: " + Trim(box.code) + " " + box.descrip,
                    PeriodText(period), period.preliminary ? "Preliminar" : "Cierre Final"},
                   G().XLOGOFILE);
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"Digitador:", cashier},
      {"Apertura:", DateText(shift.fecha_ini) + " " + shift.hora_ini},
      {"Cierre:", period.preliminary ? std::string("(caja abierta)")
                                     : DateText(shift.fecha_fin) + " " + shift.hora_fin},
  };
  for (const auto& [label, value] : rows) {
    w.Say(0, label, PageWriter::kBold);
    w.Say(20, value);
    w.NewLine();
  }
  PrintKindListing(w, kind.report, business, box.code, period);
  w.NewLine();
  w.NewLine();
  PrintSignatureLines(w);
  PrintDocument doc = w.Finish();
  doc.title = kClosingDocument;  // the name the print queue shows
  return doc;
}

}  // namespace qz
