// Offscreen pictures of the cash boxes on a demo installation: the cash box
// window of a toolbar kind ("CAJAS:1" the hotel's) as the toolbar's button
// opens it, and the hotel's closing report of the demo's open box written
// as a PDF ("CIERRE_CAJA" with a .pdf file).
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "cash/box_state.h"
#include "cash/cash_screens.h"
#include "cash/closing_report.h"
#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/cash_button.h"
#include "lib/ui/report_output.h"
#include "quartzel_pcfg.h"
#include "ui/qt/qt_ui.h"

namespace pcfg {

int CashScreenshot(qz::QtUi& ui, const std::string& name, const std::string& out) {
  namespace fs = std::filesystem;
  const bool window = name.rfind("CAJAS:", 0) == 0;
  if (!window && name != "CIERRE_CAJA") return -1;
  std::string home = (fs::temp_directory_path() / ("qz-cash-" + std::to_string(getpid()))).string();
  qz::InstallOptions options;
  options.demo = true;
  auto made = qz::CreateInstallation(home, options);
  if (!made.ok()) {
    std::fprintf(stderr, "quartzel-pcfg: %s\n", made.status().ToString().c_str());
    return 1;
  }
  qz::G().EXT_MODULO = "PCFG";
  qz::StartDataLayer(home + "/");
  int rc = 1;
  if (window) {
    qz::MenuRegistry registry;
    qz::RegisterCashScreens(registry, ui.desktop());
    ui.main_window()->resize(900, 560);
    ui.main_window()->show();
    qz::OpenCashWindow(ui.desktop(), nullptr, std::atoi(name.c_str() + 6), 1, kDemoBusiness);
    Settle();
    for (auto* sub : ui.mdi()->subWindowList())
      sub->resize(sub->sizeHint().expandedTo(QSize(720, 420)));
    rc = Save(ui.main_window(), out) ? 0 : 1;
  } else {
    const qz::BoxKind& hotel = *qz::BoxKindFor(qz::kHotelToolbar);
    auto box = qz::ReadBoxHeader(hotel, kDemoBusiness, "02");
    auto shift = box ? qz::FindOpenShift(hotel, kDemoBusiness, "02") : std::nullopt;
    if (shift) {
      qz::PrintDocument doc =
          qz::HotelClosingReport(kDemoBusiness, *box, qz::PeriodOf(*shift), {});
      rc = qz::PDF_REPORT(ui.desktop(), doc, out) ? 0 : 1;
    }
  }
  std::error_code ec;
  ui.desktop().CloseAll();
  fs::remove_all(home, ec);
  return rc;
}

}  // namespace pcfg
