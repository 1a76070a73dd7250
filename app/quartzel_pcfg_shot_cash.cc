// Offscreen pictures of the cash boxes on a demo installation: the cash box
// window of a toolbar kind ("CAJAS:1" the hotel's) as the toolbar's button
// opens it, the deposit registration window ("REG_DEP") with the demo's
// open hotel box held, and the preliminary closing reports of the demo's
// open boxes written as PDF ("CIERRE_CAJA" the hotel's box 02,
// "CIERRE_VENTAS" the restaurant's box V1), and the restaurant's sales
// report of the demo's day for every box ("VENTAS_RESTAURANTE").
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>

#include "cash/box_state.h"
#include "cash/cash_screens.h"
#include "cash/closing_report.h"
#include "cash/deposits/reg_dep.h"
#include "cash/sales_report.h"
#include "lib/data/date_time.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/cash_button.h"
#include "lib/ui/report_output.h"
#include "quartzel_pcfg.h"
#include "ui/qt/qt_ui.h"

namespace pcfg {

int CashScreenshot(qz::QtUi& ui, const std::string& name, const std::string& out) {
  namespace fs = std::filesystem;
  const bool window = name.rfind("CAJAS:", 0) == 0 || name == "REG_DEP";
  const bool sales_report = name == "VENTAS_RESTAURANTE";
  if (!window && !sales_report && name != "CIERRE_CAJA" && name != "CIERRE_VENTAS") return -1;
  const std::string home = MakeDemoInstallation("qz-cash-");
  if (home.empty()) return 1;
  qz::G().EXT_MODULO = "PCFG";
  qz::StartDataLayer(home + "/");
  int rc = 1;
  if (window) {
    qz::MenuRegistry registry;
    qz::RegisterCashScreens(registry, ui.desktop());
    // The deposit window is wide (guest beside deposit, two grids): a
    // front-desk screen of 1280 x 800 shows it whole.
    const bool deposit = name == "REG_DEP";
    ui.main_window()->resize(deposit ? 1260 : 900, deposit ? 760 : 560);
    ui.main_window()->show();
    if (deposit) {
      const qz::BoxKind& hotel = *qz::BoxKindFor(qz::kHotelToolbar);
      qz::ProcessCashBoxes().Hold(hotel, "02", "CAJA RESTAURANTE", "0002", "LUIS SOTO VARGAS",
                                  true);
      qz::OpenDepositRegistration(ui.desktop(), kDemoBusiness);
    } else {
      qz::OpenCashWindow(ui.desktop(), nullptr, std::atoi(name.c_str() + 6), 1, kDemoBusiness);
    }
    Settle();
    for (auto* sub : ui.mdi()->subWindowList())
      sub->resize(sub->sizeHint().expandedTo(QSize(720, 420)));
    rc = Save(ui.main_window(), out) ? 0 : 1;
  } else if (sales_report) {
    // The demo's day: the day its restaurant box opened.
    auto shift = qz::FindOpenShift(*qz::BoxKindFor(qz::kSalesToolbar), kDemoBusiness, "V1");
    qz::ReportPeriod day;
    day.from_date = day.to_date = shift ? shift->fecha_ini : qz::XDATE();
    day.from_time = "00:00:00";
    day.to_time = "23:59:59";
    rc = qz::PDF_REPORT(ui.desktop(), qz::RestaurantSalesReport(kDemoBusiness, "", day), out)
             ? 0
             : 1;
  } else {
    const bool hotel_box = name == "CIERRE_CAJA";
    const qz::BoxKind& kind = *qz::BoxKindFor(hotel_box ? qz::kHotelToolbar : qz::kSalesToolbar);
    const std::string code = hotel_box ? "02" : "V1";
    auto box = qz::ReadBoxHeader(kind, kDemoBusiness, code);
    auto shift = box ? qz::FindOpenShift(kind, kDemoBusiness, code) : std::nullopt;
    if (shift) {
      qz::PrintDocument doc =
          hotel_box ? qz::HotelClosingReport(kDemoBusiness, *box, qz::PeriodOf(*shift), {})
                    : qz::ShiftClosingReport(kind, kDemoBusiness, *box, *shift);
      rc = qz::PDF_REPORT(ui.desktop(), doc, out) ? 0 : 1;
    }
  }
  std::error_code ec;
  ui.desktop().CloseAll();
  fs::remove_all(home, ec);
  return rc;
}

}  // namespace pcfg
