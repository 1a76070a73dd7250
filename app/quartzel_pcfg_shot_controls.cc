// Offscreen pictures of the controls on demo data: a department tree beside
// the grid of its employees with a totals row, the pick list over the
// positions, and the waiting window of a long process with its bar.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "lib/install/installation.h"
#include "lib/ui/browse.h"
#include "lib/ui/pick_list.h"
#include "lib/ui/progress.h"
#include "lib/ui/tree.h"
#include "quartzel_pcfg.h"
#include "ui/qt/dialog_view.h"
#include "ui/qt/qt_ui.h"
#include "xbase/codepage.h"

namespace pcfg {
namespace {

namespace fs = std::filesystem;

std::string Text(xb::Table& t, const char* field) {
  auto v = t.Get(field);
  if (!v.ok() || !v->is_char()) return "";
  std::string s = xb::ToUtf8(v->str());
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

std::unique_ptr<xb::Table> Open(const std::string& home, const std::string& name) {
  auto t = xb::Table::Open(home + "/BASES/" + name + ".DBF");
  if (!t.ok()) return nullptr;
  return std::move(*t);
}

int DepartmentTree(qz::QtUi& ui, const std::string& home, const std::string& png) {
  auto depts = Open(home, "ENC_DEPT");
  auto emps = Open(home, "ENC_PERS");
  if (!depts || !emps) return 1;
  qz::WDIAG w(ui.desktop(), nullptr, "LOG_DIAG");
  if (!w.INIT().ok()) return 1;
  w.SetTitle("Departamentos y empleados");
  qz::TreeModel tree(w, 600, qz::TreeModel::Mode::kMultiple);
  std::string biz = kDemoBusiness;
  auto* root = tree.Add(nullptr, "Departamentos", "");
  depts->SetOrder("ENC_DEPT");
  depts->SetScope(xb::Value::Char(biz), xb::Value::Char(biz));
  for (depts->GoTop(); !depts->Eof(); depts->Skip()) {
    std::string code = Text(*depts, "CODIGO");
    tree.Add(root, Text(*depts, "DESCRIP"), code, code);
  }
  tree.Sort();
  tree.ExpandAll();
  if (!root->children.empty()) {
    tree.SetMarked(root->children.front().get(), true);
    tree.Click(root->children.front().get());
  }
  qz::WBLISTBOX grid(w, 700, emps.get());
  grid.AddColumn("Identificación", "CODIGO", std::string(15, 'X'));
  grid.AddColumn("Nombre", "NOMBRE", std::string(31, 'X'));
  grid.AddColumn("Ingreso", "F_INGRESO", "");
  grid.AddColumn("Total Sal.", "TOT_SAL", "9999,999,999.99");
  grid.SHOWNUMBERS = false;
  grid.AUTOSIZE = true;
  grid.BROWMARKS({{1, "ENC_PERS2"}}, 1, biz);
  grid.SetTotal(3);
  qz::DialogView view(w);
  view.resize(900, 520);
  view.show();
  Settle();
  // The totals row closes the list: show the end of it.
  if (auto* table = qobject_cast<QTableView*>(view.widget(700))) table->scrollToBottom();
  return Save(&view, png) ? 0 : 1;
}

int PickList(qz::QtUi& ui, const std::string& home, const std::string& png) {
  auto puestos = Open(home, "PUESTOS");
  if (!puestos) return 1;
  qz::PickSource s;
  s.table = puestos.get();
  s.business = kDemoBusiness;
  s.code_tag = "PUESTOS";
  s.title = "Puestos";
  int rc = 1;
  QTimer::singleShot(0, [&] {
    QWidget* dlg = QApplication::activeModalWidget();
    if (!dlg) return;
    dlg->resize(620, 460);
    rc = Save(dlg, png) ? 0 : 1;
    if (auto* view = dlg->findChild<qz::DialogView*>()) view->window().UserPress(2);
    dlg->close();
  });
  qz::PickFromList(ui.desktop(), nullptr, s, "C");
  return rc;
}

int WaitProgress(qz::QtUi& ui, const std::string& png) {
  ui.main_window()->resize(700, 420);
  ui.main_window()->show();
  qz::Progress p(nullptr, "Procesando Datos...");
  p.SetTotal(1200);
  for (int i = 0; i < 520; ++i) p.Step();
  p.Step(0);
  Settle();
  QWidget* box = ui.WaitWindow(1);
  return box && Save(box, png) ? 0 : 1;
}

}  // namespace

// The pictures of the controls: DEPT_TREE, OBSEARCH (the pick list) and
// WAIT_PROGRESS. Returns -1 for any other name.
int ControlScreenshot(qz::QtUi& ui, const std::string& name, const std::string& png) {
  if (name == "WAIT_PROGRESS") return WaitProgress(ui, png);
  if (name != "DEPT_TREE" && name != "OBSEARCH") return -1;
  const std::string home = MakeDemoInstallation("qz-shot-");
  if (home.empty()) return 1;
  int rc = name == "DEPT_TREE" ? DepartmentTree(ui, home, png) : PickList(ui, home, png);
  std::error_code ec;
  fs::remove_all(home, ec);
  return rc;
}

}  // namespace pcfg
