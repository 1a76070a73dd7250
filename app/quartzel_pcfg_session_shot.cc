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
#include <cstdlib>
#include <map>
#include <string>

#include "lib/errors/error_handler.h"
#include "payroll/payroll_screens.h"
#include "quartzel_pcfg_shell.h"
#include "shell/application.h"
#include "shell/user_admin.h"
#include "shell/user_reports.h"
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

// The click is posted, not made from inside the driver's timer: what the
// button runs may open a modal window of its own, and Qt does not run a
// timer's slot again while that slot is still running.
void Press(qz::DialogView* view, int id) {
  if (auto* b = qobject_cast<QAbstractButton*>(view->widget(id)))
    QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
}

bool Enabled(qz::DialogView* view, int id) {
  QWidget* b = view->widget(id);
  return b && b->isEnabled();
}

}  // namespace

int ShotSession(ShellQtUi& ui, const std::string& home, const std::string& user,
                const std::string& password, const std::string& out_dir) {
  QtMainView view(ui);
  qz::MenuRegistry registry;
  qz::Desktop& d = ui.desktop();
  qz::RegisterPayrollScreens(registry, d);
  qz::Application application(d, view, registry);
  int shots = 0;
  // The user of this session: answers the modal windows as they come, and
  // never waits forever on one. A login shown again was refused: it is
  // cancelled. A window that stays up after its answer (a disabled button),
  // or the same message coming back again and again (a table another user
  // keeps locked), ends the session instead of hanging it.
  int logins = 0;
  QWidget* stuck_on = nullptr;
  int stuck_ticks = 0;
  std::map<std::string, int> messages;
  auto give_up = [](const std::string& why) {
    std::fprintf(stderr, "quartzel-pcfg: giving up: %s\n", why.c_str());
    std::fflush(stderr);
    std::_Exit(1);
  };
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal == stuck_on) {
      if (++stuck_ticks == 10) {
        if (auto* dlg = qobject_cast<QDialog*>(modal)) dlg->reject();
      } else if (stuck_ticks >= 20) {
        give_up("a window does not close");
      }
      return;
    }
    stuck_on = modal;
    stuck_ticks = 0;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      const std::string text = box->text().toUtf8().constData();
      std::fprintf(stderr, "quartzel-pcfg: message \"%s\"\n", text.c_str());
      if (++messages[text] > 5) give_up("the same message keeps coming back");
      box->accept();
      return;
    }
    qz::DialogView* v = ModalView();
    if (!v) return;
    qz::WDIAG& w = v->window();
    const std::string& name = w.template_name();
    if (name == "XLOGINUSR") {
      if (++logins > 1) {
        std::fprintf(stderr, "quartzel-pcfg: the login was refused\n");
        Press(v, 2);
        return;
      }
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
      // "Ignorar" when the error allows it, otherwise "Salir".
      Press(v, Enabled(v, 202) ? 202 : 1);
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
  // The users screen and a user's rights tree, for whoever may open it.
  int optional_shots = 0;
  if (main.Choose({"&Archivo", "Mantenimientos", "Perfiles de Usuario"})) {
    Settle();
    if (auto* users = dynamic_cast<qz::USUARIOS*>(d.FindWindow("USUARIOS"))) {
      if (users->users_grid() && users->users_grid()->RowCount() > 1) users->users_grid()->Select(1);
      for (auto* sub : ui.mdi()->subWindowList()) sub->resize(sub->sizeHint().expandedTo(QSize(900, 600)));
      optional_shots += Save(ui.main_window(), out_dir + "/usuarios.png");
      users->UserPress(qz::USUARIOS::kRightsTree);
      Settle();
      if (qz::WDIAG* tree = d.FindWindow("DERECHOS")) {
        if (auto* t = dynamic_cast<qz::V_DERECHOS*>(tree)) t->tree()->ExpandAll();
        QWidget* v = ui.ViewOf(tree);
        QWidget* sub = v;
        while (sub && !qobject_cast<QMdiSubWindow*>(sub)) sub = sub->parentWidget();
        if (sub) sub->resize(560, 620);
        optional_shots += Save(sub ? sub : ui.main_window(), out_dir + "/derechos.png");
      }
    }
  }
  std::fprintf(stderr, "quartzel-pcfg: %d pictures of the users screen\n", optional_shots);
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
