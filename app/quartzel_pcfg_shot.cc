// Offscreen pictures of templates and screens, to look at what is built.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "admin/admin_screens.h"
#include "accounting/accounting_screens.h"
#include "cash/cash_screens.h"
#include "devices/device_screens.h"
#include "lib/ui/catalog.h"
#include "payroll/payroll_screens.h"
#include "shell/menu_tables.h"
#include "quartzel_pcfg.h"
#include "ui/qt/dialog_view.h"
#include "ui/qt/qt_ui.h"

namespace pcfg {

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget* w, const std::string& png) {
  Settle();
  bool ok = w->grab().save(QString::fromStdString(png));
  if (!ok) std::fprintf(stderr, "quartzel-pcfg: cannot write %s\n", png.c_str());
  return ok;
}

std::string MakeDemoInstallation(const std::string& prefix) {
  namespace fs = std::filesystem;
  std::string home = (fs::temp_directory_path() / (prefix + std::to_string(getpid()))).string();
  qz::InstallOptions options;
  options.demo = true;
  auto made = qz::CreateInstallation(home, options);
  if (!made.ok()) {
    std::fprintf(stderr, "quartzel-pcfg: %s\n", made.status().ToString().c_str());
    return "";
  }
  return home;
}

namespace {

namespace fs = std::filesystem;

// Sample values for a dialog shown without its screen.
void FillSample(qz::WDIAG& w) {
  if (w.template_name() == "MODIOCUPA") {
    w.SetText(500, "2");
    w.SetText(501, "Recepcionistas de hotel");
    w.SetText(502, "4224");
  }
}

// What the user does in the newest window before it is shot: "tabN" shows
// page N (1-based) of its tabs, "pressID" presses control ID (either case).
void RunStep(qz::QtUi& ui, std::string step) {
  for (char& c : step) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto windows = ui.desktop().windows();
  if (windows.empty()) return;
  qz::WDIAG* top = windows.back();
  if (step.rfind("tab", 0) == 0) {
    if (QWidget* view = ui.ViewOf(top))
      for (auto* tabs : view->findChildren<QTabWidget*>())
        tabs->setCurrentIndex(std::atoi(step.c_str() + 3) - 1);
  } else if (step.rfind("press", 0) == 0) {
    top->UserPress(std::atoi(step.c_str() + 5));
    ui.desktop().Collect();
  }
  Settle();
}

// "SCREEN[:OPERATION[:ROW[:STEP...]]]": a screen of the menu, opened on a
// fresh demo installation for the demo business; with OPERATION (an
// "Editar" operation, MOD_PUESTOS) run on grid row ROW, the window it opens
// is shot instead of the main window, after the STEPs (RunStep) are done
// in it. -1 when SCREEN is no screen of the menu.
int ScreenScreenshot(qz::QtUi& ui, const std::string& request, const std::string& png) {
  std::vector<std::string> parts;
  std::stringstream in(request);
  for (std::string p; std::getline(in, p, ':');) parts.push_back(p);
  if (parts.empty()) return -1;
  const qz::MenuDef* menu = qz::FindScreenMenu(parts[0]);
  qz::MenuRegistry registry;
  qz::RegisterPayrollScreens(registry, ui.desktop());
  qz::RegisterAdminScreens(registry, ui.desktop());
  qz::RegisterDeviceScreens(registry, ui.desktop());
  qz::RegisterAccountingScreens(registry, ui.desktop());
  qz::RegisterCashScreens(registry, ui.desktop());
  const qz::ScreenOpener* open = registry.Find(parts[0]);
  // A screen whose menu entry carries no right (COPY_EMP) is not found by
  // right; its template has the screen's name.
  if (!open) return -1;
  const std::string tmpl = menu ? menu->tmpl : parts[0];
  const std::string home = MakeDemoInstallation("qz-shot-");
  if (home.empty()) return 1;
  qz::G().EXT_MODULO = "PCFG";
  qz::StartDataLayer(home + "/");
  ui.main_window()->resize(980, 640);
  ui.main_window()->show();
  (*open)(kDemoBusiness, tmpl);
  Settle();
  qz::WDIAG* screen = ui.desktop().active();
  int rc = screen ? 0 : 1;
  if (screen && parts.size() >= 2) {
    auto* catalog = dynamic_cast<qz::CatalogScreen*>(screen);
    if (catalog && parts.size() >= 3) catalog->oB()->Select(std::atoi(parts[2].c_str()));
    screen->DoOperation(parts[1]);
    Settle();
    for (size_t i = 3; i < parts.size(); ++i) RunStep(ui, parts[i]);
  }
  ui.FitWindows();  // the layouts have settled only now
  if (rc == 0) {
    auto windows = ui.desktop().windows();
    qz::WDIAG* top = parts.size() >= 2 && !windows.empty() ? windows.back() : nullptr;
    QWidget* view = top && top != screen ? ui.ViewOf(top) : nullptr;
    rc = Save(view ? view : ui.main_window(), png) ? 0 : 1;
  }
  std::error_code ec;
  ui.desktop().CloseAll();  // the screens close their tables before the folder goes
  fs::remove_all(home, ec);
  return rc;
}

}  // namespace

int Screenshot(qz::QtUi& ui, const std::string& template_name, const std::string& png) {
  std::string name = template_name;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (int rc = ControlScreenshot(ui, name, png); rc >= 0) return rc;
  if (int rc = CashScreenshot(ui, name, png); rc >= 0) return rc;
  if (int rc = ExpenseScreenshot(ui, name, png); rc >= 0) return rc;
  if (name == "MODIPUESTO") name = "PUESTOS:MOD_PUESTOS:3";
  if (int rc = ScreenScreenshot(ui, name, png); rc >= 0) return rc;
  qz::WDIAG w(ui.desktop(), nullptr, template_name);
  if (!w.INIT().ok()) return 1;
  FillSample(w);
  qz::DialogView view(w);
  view.adjustSize();
  view.show();
  return Save(&view, png) ? 0 : 1;
}

}  // namespace pcfg
