// quartzel-pcfg: the payroll-configuration program's desktop host. For now
// it hosts the catalog screens built so far in an MDI main window.
//
//   quartzel-pcfg [--negocio CODE]          run on the installation's BASES
//   quartzel-pcfg --demo DIR                create a demo installation's tables in DIR/BASES
//   quartzel-pcfg --screenshot TEMPLATE FILE.png   render offscreen (demo data)
#include "quartzel_pcfg.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "lib/settings/globals.h"
#include "lib/settings/startup.h"
#include "lib/ui/catalog_data.h"
#include "payroll/ocupa.h"
#include "payroll/puestos.h"
#include "ui/qt/qt_ui.h"

namespace {

namespace fs = std::filesystem;

std::string Home() {
  if (const char* h = std::getenv("QUARTZEL_HOME")) return h;
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? "." : exe.parent_path().string();
}

void AddScreens(qz::QtUi& ui, const std::string& business) {
  QMenu* m = ui.main_window()->menuBar()->addMenu(QString::fromUtf8("Servicios Adicionales"));
  qz::Desktop* d = &ui.desktop();
  QObject::connect(m->addAction(QString::fromUtf8("Definición de Puestos")), &QAction::triggered,
                   [d, business] {
                     qz::DO_ACTION(*d, qz::PUESTOS::kMenuId,
                                   [&] { qz::OpenScreen<qz::PUESTOS>(*d, "PUESTOS", business); });
                   });
  QObject::connect(m->addAction(QString::fromUtf8("Definición de Ocupaciones")),
                   &QAction::triggered, [d, business] {
                     qz::DO_ACTION(*d, qz::OCUPA::kMenuId,
                                   [&] { qz::OpenScreen<qz::OCUPA>(*d, "OCUPA", business); });
                   });
  QObject::connect(ui.file_menu()->addAction("Salir"), &QAction::triggered,
                   [&ui] { ui.main_window()->close(); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--screenshot") == 0 &&
      std::getenv("QT_QPA_PLATFORM") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  std::string business = pcfg::kDemoBusiness;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--negocio") == 0) {
      business = argv[i + 1];
      business.resize(15, ' ');
    }
  }
  if (argc >= 3 && std::strcmp(argv[1], "--demo") == 0) {
    std::string err =
        pcfg::CreateDemoTables(pcfg::FindSchemaDir(), std::string(argv[2]) + "/BASES");
    if (!err.empty()) std::fprintf(stderr, "quartzel-pcfg: %s\n", err.c_str());
    return err.empty() ? 0 : 1;
  }
  qz::QtUi ui;
  AddScreens(ui, business);
  if (argc >= 4 && std::strcmp(argv[1], "--screenshot") == 0) {
    return pcfg::Screenshot(ui, argv[2], argv[3]);
  }
  qz::G().EXT_MODULO = "PCFG";
  qz::StartDataLayer(Home() + "/");
  ui.main_window()->resize(1024, 700);
  ui.main_window()->show();
  return app.exec();
}
