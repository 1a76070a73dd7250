// Offscreen pictures of a whole session: the login dialog, the main window
// with a screen open, the menus and the error dialog.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "lib/errors/error_handler.h"
#include "lib/ui/catalog.h"
#include "payroll/ocupa.h"
#include "payroll/puestos.h"
#include "quartzel_pcfg_shell.h"
#include "shell/application.h"
#include "ui/qt/dialog_view.h"

namespace pcfg {
namespace {

void Settle() {
  for (int i = 0; i < 8; ++i) QApplication::processEvents();
}

bool Save(QWidget* w, const std::string& png) {
  Settle();
  bool ok = w->grab().save(QString::fromStdString(png));
  std::fprintf(stderr, "quartzel-pcfg: %s %s\n", ok ? "wrote" : "cannot write", png.c_str());
  return ok;
}

qz::DialogView* ModalView() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal ? modal->findChild<qz::DialogView*>() : nullptr;
}

void Press(qz::DialogView* view, int id) {
  if (auto* b = qobject_cast<QAbstractButton*>(view->widget(id))) b->click();
}

}  // namespace

int ShotSession(ShellQtUi& ui, const std::string& home, const std::string& user,
                const std::string& password, const std::string& out_dir) {
  QtMainView view(ui);
  qz::MenuRegistry registry;
  qz::Desktop& d = ui.desktop();
  registry.Register("PUESTOS", [&d](const std::string& b, const std::string& t) {
    qz::OpenScreen<qz::PUESTOS>(d, t, b);
  });
  registry.Register("OCUPA", [&d](const std::string& b, const std::string& t) {
    qz::OpenScreen<qz::OCUPA>(d, t, b);
  });
  qz::Application application(d, view, registry);
  int shots = 0;
  // The user of this session: answers the modal dialogs as they come.
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "quartzel-pcfg: message \"%s\"\n", box->text().toUtf8().constData());
      box->accept();
      return;
    }
    qz::DialogView* v = ModalView();
    if (!v) return;
    qz::WDIAG& w = v->window();
    const std::string& name = w.template_name();
    if (name == "XLOGINUSR") {
      w.UserType(500, user);
      w.UserType(501, password);
      w.SetFocus(501);
      QWidget* dlg = QApplication::activeModalWidget();
      dlg->adjustSize();
      shots += Save(dlg, out_dir + "/login.png");
      Press(v, 1);
    } else if (name == "ERROR_SPEC") {
      QWidget* dlg = QApplication::activeModalWidget();
      dlg->resize(760, 460);
      shots += Save(dlg, out_dir + "/error.png");
      Press(v, 202);
    } else {
      Press(v, 2);  // anything else (an expired password, a rate warning) is dismissed
    }
  });
  driver.start(150);
  ui.main_window()->resize(1200, 760);
  if (!application.Start(home)) {
    std::fprintf(stderr, "quartzel-pcfg: the login did not succeed\n");
    return 1;
  }
  ui.principal = &application.principal();
  view.Attach(application.principal());
  ui.main_window()->show();
  application.Shown();
  qz::PRINCIPAL& main = application.principal();
  main.Choose({"Servicios Adicionales", "Definición de Puestos"});
  Settle();
  for (auto* sub : ui.mdi()->subWindowList())
    sub->resize(sub->sizeHint().expandedTo(QSize(640, 460)));
  shots += Save(ui.main_window(), out_dir + "/main.png");
  for (const auto& [caption, file] : {std::pair{"Servicios Adicionales", "menu_servicios.png"},
                                      std::pair{"&Archivo", "menu_archivo.png"}}) {
    if (QMenu* m = view.PopupMenu(caption)) {
      m->popup(QPoint(0, 0));
      shots += Save(m, out_dir + "/" + file);
      m->close();
    }
  }
  // A runtime fault as the program reports it.
  qz::RunOperation([] {
    qz::ErrorInfo e;
    e.gen_code = qz::kGenOpen;
    e.os_code = qz::kOsNotFound;
    e.subsystem = "DBFCDX";
    e.sub_code = 1001;
    e.description = "Open error";
    e.filename = "BASES/EJEMPLO.DBF";
    e.can_retry = true;
    e.can_default = true;
    e.call_stack = {"USE(142)", "PUESTOS:ABRIRBASES(37)", "DO_ACTION(88)"};
    throw qz::Fault(e);
  });
  driver.stop();
  d.CloseAll();
  main.Exit();
  ui.principal = nullptr;
  return shots == 5 ? 0 : 1;
}

}  // namespace pcfg
