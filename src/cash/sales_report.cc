#include "cash/sales_report.h"

#include <cstdio>
#include <optional>

#include "lib/data/date_time.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/report_output.h"

namespace qz {
namespace {

enum : int {
  kFromDate = 502,
  kFromTime = 503,
  kToDate = 504,
  kToTime = 505,
  kBox = 601,
};

constexpr const char* kEveryBox = "Todas las Cajas";

// "h:mm", "hh:mm" or "hh:mm:ss" as "hh:mm:ss"; nullopt for anything else.
std::optional<std::string> TimeOfDay(const std::string& typed) {
  const std::string t = Trim(typed);
  int h = -1, m = -1, s = 0;
  char tail = 0;
  const int n = std::sscanf(t.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail);
  if ((n != 2 && n != 3) || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
    return std::nullopt;
  char out[16];
  std::snprintf(out, sizeof out, "%02d:%02d:%02d", h, m, s);
  return std::string(out);
}

// The business's sales boxes in code order: "Todas las Cajas" first.
void FillBoxes(WDIAG& d, const std::string& business, const std::string& chosen) {
  d.ClearEntries(kBox);
  d.AddEntry(kBox, kEveryBox, "");
  int current = 0;
  TablePtr t = USE(nullptr, "VCAJAS", "VCAJAS");
  t->SetScope(xb::Value::Char(business), xb::Value::Char(business));
  for (t->GoTop(); !t->Eof(); t->Skip()) {
    const std::string code = FieldBytes(t->table(), "CODIGO");
    d.AddEntry(kBox, Trim(code) + " " + FieldText(t->table(), "DESCRIP"), code);
    if (code == PadRight(chosen, 2) && !Trim(chosen).empty())
      current = static_cast<int>(d.Control(kBox)->entries.size()) - 1;
  }
  KILLTABLA(t);
  d.SetCurrent(kBox, current);
}

std::string ChosenBox(const WDIAG& d) {
  const ControlState* c = d.Control(kBox);
  return c && c->current >= 0 ? c->entries[c->current].cargo : std::string();
}

// The period typed in the window; nullopt after telling the user what is wrong.
std::optional<ReportPeriod> TypedPeriod(const WDIAG& d) {
  ReportPeriod p;
  std::optional<int32_t> from = d.DateValue(kFromDate), to = d.DateValue(kToDate);
  if (!from || !to || *from == 0 || *to == 0) {
    MESSAGE_BOX("Fecha inválida", "Error", kMbIconStop);
    return std::nullopt;
  }
  std::optional<std::string> from_time = TimeOfDay(d.Text(kFromTime)),
                             to_time = TimeOfDay(d.Text(kToTime));
  if (!from_time || !to_time) {
    MESSAGE_BOX("Hora inválida (hh:mm:ss)", "Error", kMbIconStop);
    return std::nullopt;
  }
  p.from_date = *from;
  p.from_time = *from_time;
  p.to_date = *to;
  p.to_time = *to_time;
  if (xb::DtosFromJulian(p.from_date) + p.from_time > xb::DtosFromJulian(p.to_date) + p.to_time) {
    MESSAGE_BOX("El inicio del período no puede ser posterior a su final", "Error", kMbIconStop);
    return std::nullopt;
  }
  return p;
}

}  // namespace

void RunSalesClosingReport(Desktop& desktop, WDIAG* owner, const std::string& business,
                           const BoxHeader& box, const Shift& shift, const std::string& cashier) {
  const ReportPeriod period = PeriodOf(shift);
  const BoxKind& sales = *BoxKindFor(kSalesToolbar);
  DIALOG_BOX(desktop, sales.report_template, owner,
             [&](WDIAG& d, int msg, int64_t wparam, int64_t) -> int {
               if (msg == kWmInitDialog) {
                 d.ClearEntries(kBox);
                 d.AddEntry(kBox, Trim(box.code) + " " + box.descrip, box.code);
                 d.SetCurrent(kBox, 0);
                 d.SetDate(kFromDate, period.from_date);
                 d.SetText(kFromTime, period.from_time);
                 d.SetDate(kToDate, period.to_date);
                 d.SetText(kToTime, period.to_time);
                 // The shift decides box and period.
                 for (int id : {int(kBox), int(kFromDate), int(kFromTime), int(kToDate),
                                int(kToTime)})
                   d.EnableControl(id, false);
                 return 1;
               }
               if (msg != kWmCommand) return 0;
               if (wparam == 2) d.ENDDIALOG(2);
               if (wparam == 1) {
                 // As the shift is now: closed meanwhile at another
                 // workstation, the report is its final one.
                 std::optional<Shift> now = FindShift(sales, shift.recno);
                 PREVIEW_REPORT(desktop, ShiftClosingReport(sales, business, box,
                                                            now ? *now : shift, cashier));
               }
               return 1;
             });
}

void RunRestaurantSalesReport(Desktop& desktop, WDIAG* owner, const std::string& business_in,
                              const std::string& box) {
  const std::string business = PadRight(business_in, 15);
  DIALOG_BOX(desktop, BoxKindFor(kSalesToolbar)->report_template, owner,
             [&](WDIAG& d, int msg, int64_t wparam, int64_t) -> int {
               if (msg == kWmInitDialog) {
                 d.SetTitle("Reporte de Ventas Restaurante");
                 FillBoxes(d, business, box);
                 d.SetDate(kFromDate, XDATE());
                 d.SetText(kFromTime, "00:00:00");
                 d.SetDate(kToDate, XDATE());
                 d.SetText(kToTime, "23:59:59");
                 return 1;
               }
               if (msg != kWmCommand) return 0;
               if (wparam == 2) d.ENDDIALOG(2);
               if (wparam == 1) {
                 // Read when "Imprimir" is pressed: the window stays for
                 // another box or period.
                 if (std::optional<ReportPeriod> p = TypedPeriod(d))
                   PREVIEW_REPORT(desktop, RestaurantSalesReport(business, ChosenBox(d), *p));
               }
               return 1;
             });
}

PrintDocument RestaurantSalesReport(const std::string& business_in, const std::string& box,
                                    const ReportPeriod& period) {
  const std::string business = PadRight(business_in, 15);
  std::string which = kEveryBox;
  if (!Trim(box).empty()) {
    which = Trim(box);
    if (std::optional<BoxHeader> h = ReadBoxHeader(*BoxKindFor(kSalesToolbar), business, box))
      which += " " + h->descrip;
  }
  PageWriter w(kClosingDocument, 66, 100);
  w.UseReportFrame({"REPORTE DE VENTAS RESTAURANTE", "Caja: " + which, PeriodText(period)},
                   G().XLOGOFILE);
  PrintSalesListing(w, business, box, period, /*by_article=*/true);
  PrintDocument doc = w.Finish();
  doc.title = kClosingDocument;
  return doc;
}

}  // namespace qz
