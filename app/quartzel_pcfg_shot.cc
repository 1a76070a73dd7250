// Offscreen pictures of templates and screens, to look at what is built.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <cstdio>
#include <filesystem>

#include "lib/install/installation.h"
#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "payroll/e_puesto.h"
#include "payroll/ocupa.h"
#include "payroll/puestos.h"
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

}  // namespace

int Screenshot(qz::QtUi& ui, const std::string& template_name, const std::string& png) {
  std::string name = template_name;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (int rc = ControlScreenshot(ui, name, png); rc >= 0) return rc;
  if (name == "PUESTOS" || name == "OCUPA" || name == "MODIPUESTO") {
    std::string home =
        (fs::temp_directory_path() / ("qz-shot-" + std::to_string(getpid()))).string();
    qz::InstallOptions options;
    options.demo = true;
    auto made = qz::CreateInstallation(home, options);
    if (!made.ok()) {
      std::fprintf(stderr, "quartzel-pcfg: %s\n", made.status().ToString().c_str());
      return 1;
    }
    qz::G().EXT_MODULO = "PCFG";
    qz::StartDataLayer(home + "/");
    ui.main_window()->resize(980, 640);
    ui.main_window()->show();
    int rc = 1;
    if (name == "OCUPA") {
      if (qz::OpenScreen<qz::OCUPA>(ui.desktop(), "OCUPA", kDemoBusiness)) rc = 0;
    } else {
      auto* s = qz::OpenScreen<qz::PUESTOS>(ui.desktop(), "PUESTOS", kDemoBusiness);
      if (s) {
        rc = 0;
        s->oB()->Select(3);
        if (name == "MODIPUESTO") s->DoOperation("MOD_PUESTOS");
      }
    }
    Settle();
    if (rc == 0) {
      for (auto* sub : ui.mdi()->subWindowList())
        sub->resize(sub->sizeHint().expandedTo(QSize(560, 460)));
      if (name == "MODIPUESTO") {
        auto* e = ui.desktop().FindWindow("MODIPUESTO");
        auto* view = e ? ui.ViewOf(e) : nullptr;
        rc = view && Save(view, png) ? 0 : 1;
      } else {
        rc = Save(ui.main_window(), png) ? 0 : 1;
      }
    }
    std::error_code ec;
    ui.desktop().CloseAll();  // the screens close their tables before the folder goes
    fs::remove_all(home, ec);
    return rc;
  }
  qz::WDIAG w(ui.desktop(), nullptr, template_name);
  if (!w.INIT().ok()) return 1;
  FillSample(w);
  qz::DialogView view(w);
  view.adjustSize();
  view.show();
  return Save(&view, png) ? 0 : 1;
}

}  // namespace pcfg
