// The controls on screen (offscreen Qt): a tree bound after its window was
// shown, clicked, checked and offering its context entries; a grid with a
// totals row that cannot be selected and columns as wide as their contents;
// the pick list answered through its real widgets; the waiting window's bar
// and "Cancelar".
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "lib/ui/browse.h"
#include "lib/ui/dialog_template.h"
#include "lib/ui/pick_list.h"
#include "lib/ui/progress.h"
#include "lib/ui/tree.h"
#include "support/installation.h"
#include "support/schema_tables.h"
#include "ui/qt/browse_model.h"
#include "ui/qt/dialog_view.h"
#include "ui/qt/qt_ui.h"
#include "ui/qt/tree_view.h"

namespace {

using qztest::Biz;
using qztest::C;

QApplication* App() {
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

class QtControls : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
    inst.Start();
    bases = inst.root + "BASES";
  }
  std::unique_ptr<xb::Table> Puestos() {
    qztest::CreateSchemaTable(bases, "PUESTOS");
    std::vector<qztest::Row> rows;
    for (int i = 0; i < 30; ++i) {
      char code[8];
      std::snprintf(code, sizeof code, "P%02d", i);
      rows.push_back({{"NEGOCIO", C(Biz("B"))},
                      {"CODIGO", C(code)},
                      {"DESCRIP", C("PUESTO " + std::to_string(100 - i))}});
    }
    qztest::AddRows(bases, "PUESTOS", rows);
    auto t = xb::Table::Open(bases + "/PUESTOS.DBF");
    (*t)->CreateTag("PUESTOS2", "NEGOCIO+DESCRIP");
    return std::move(*t);
  }
  qztest::Installation inst;
  std::string bases;
};

TEST_F(QtControls, TreeBoundLateIsClickedCheckedAndOffersItsContextEntries) {
  qz::QtUi ui;
  qz::WDIAG w(ui.desktop(), nullptr, "LOG_DIAG");
  ASSERT_TRUE(w.INIT().ok());
  qz::DialogView view(w);
  auto* tc = qobject_cast<qz::TreeControl*>(view.widget(600));
  ASSERT_NE(tc, nullptr);
  EXPECT_EQ(tc->topLevelItemCount(), 0);
  // The screen makes its tree after the window is shown (the usage log does).
  qz::TreeModel tree(w, 600, qz::TreeModel::Mode::kMultiple);
  auto* root = tree.Add(nullptr, "Usuarios", "");
  tree.Add(root, "Ana Mora", "ANA", "ANA");
  tree.Add(root, "Luis Soto", "LUI", "LUI");
  tree.AddStandardContextEntries();
  QApplication::processEvents();
  ASSERT_EQ(tc->model(), &tree);
  ASSERT_EQ(tc->topLevelItemCount(), 1);
  QTreeWidgetItem* ana = tc->ItemOf(tree.Find("ANA"));
  ASSERT_NE(ana, nullptr);
  EXPECT_EQ(ana->text(0), QString::fromUtf8("Ana Mora"));
  EXPECT_EQ(ana->text(1), QString::fromUtf8("ANA"));  // the right-hand text

  std::string clicked;
  tree.on_click = [&](qz::TreeNode* n) { clicked = n->cargo; };
  emit tc->itemClicked(ana, 0);
  EXPECT_EQ(clicked, "ANA");
  ana->setCheckState(0, Qt::Checked);  // the user ticks the box
  ASSERT_EQ(tree.MarkedLeaves().size(), 1u);
  EXPECT_EQ(tc->ItemOf(root)->checkState(0), Qt::PartiallyChecked);
  tree.SetMarked(root, true);  // marked by the screen: shown at once
  EXPECT_EQ(tc->ItemOf(tree.Find("LUI"))->checkState(0), Qt::Checked);
  tc->ItemOf(root)->setExpanded(true);
  EXPECT_TRUE(root->expanded);
  tree.CollapseAll();
  EXPECT_FALSE(tc->ItemOf(root)->isExpanded());
  EXPECT_TRUE(tc->ContextCaptions().contains(QString::fromUtf8("Limpiar marcas")));
  EXPECT_EQ(tc->contextMenuPolicy(), Qt::CustomContextMenu);
  tree.ChooseContext(nullptr, qz::kTreeClearMarks);
  EXPECT_EQ(tc->ItemOf(tree.Find("ANA"))->checkState(0), Qt::Unchecked);
}

TEST_F(QtControls, GridShowsTotalsLastAndFitsItsColumns) {
  qztest::CreateSchemaTable(bases, "ENC_PERS");
  std::vector<qztest::Row> rows;
  for (int i = 0; i < 12; ++i)
    rows.push_back({{"NEGOCIO", C(Biz("B"))},
                    {"CODIGO", C("E" + std::to_string(10 + i))},
                    {"NOMBRE", C("N")},
                    {"TOT_SAL", xb::Value::Number(1000 * (i + 1))}});
  qztest::AddRows(bases, "ENC_PERS", rows);
  auto t = std::move(*xb::Table::Open(bases + "/ENC_PERS.DBF"));
  qz::QtUi ui;
  qz::WDIAG w(ui.desktop(), nullptr, "LOG_DIAG");
  ASSERT_TRUE(w.INIT().ok());
  qz::WBLISTBOX grid(w, 700, t.get());
  grid.AddColumn("Identificación", "CODIGO", std::string(15, 'X'));
  grid.AddColumn("Nombre", "NOMBRE", std::string(31, 'X'));
  grid.AddColumn("Total Sal.", "TOT_SAL", "9999,999,999.99");
  grid.AUTOSIZE = true;
  grid.SHOWNUMBERS = false;
  ASSERT_TRUE(grid.BROWMARKS({{1, "ENC_PERS2"}}, 1, Biz("B")).ok());
  grid.SetTotal(2);
  qz::DialogView view(w);
  view.resize(700, 500);
  view.show();
  QApplication::processEvents();
  auto* table = qobject_cast<QTableView*>(view.widget(700));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->model()->rowCount(), 13);
  QModelIndex total = table->model()->index(12, 2);
  EXPECT_EQ(total.data().toString(), QString::fromUtf8("78,000.00"));
  EXPECT_TRUE(total.data(Qt::FontRole).value<QFont>().bold());
  EXPECT_FALSE(table->model()->flags(total) & Qt::ItemIsSelectable);
  table->setCurrentIndex(table->model()->index(12, 0));
  EXPECT_EQ(grid.current(), 11);  // the last real row, never the totals
  // "Nombre" holds one letter: the column is as wide as its header, not
  // the 31 characters of its picture.
  EXPECT_LT(table->columnWidth(1), table->columnWidth(0));
}

TEST_F(QtControls, PickListAnsweredThroughItsWidgets) {
  auto t = Puestos();
  qz::QtUi ui;
  qz::PickSource s;
  s.table = t.get();
  s.business = Biz("B");
  s.code_tag = "PUESTOS";
  s.descrip_tag = "PUESTOS2";
  std::string seen_title;
  int rows = 0;
  QTimer::singleShot(0, [&] {
    auto* view = QApplication::activeModalWidget()
                     ? QApplication::activeModalWidget()->findChild<qz::DialogView*>()
                     : nullptr;
    if (!view) return;
    seen_title = view->window().title();
    auto* table = qobject_cast<QTableView*>(view->widget(700));
    rows = table ? table->model()->rowCount() : 0;
    // Order by description and pick the first row.
    qobject_cast<QAbstractButton*>(view->widget(1002))->click();
    table->setCurrentIndex(table->model()->index(0, 0));
    qobject_cast<QPushButton*>(view->widget(1))->click();
  });
  auto c = qz::PickFromList(ui.desktop(), nullptr, s);
  EXPECT_EQ(seen_title, "Búsqueda");
  EXPECT_EQ(rows, 30);
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->descrip, "PUESTO 100");  // first by description
  EXPECT_EQ(c->code, "P00");
}

TEST_F(QtControls, WaitingWindowShowsItsBarAndHearsCancelar) {
  qz::QtUi ui;
  ui.main_window()->show();
  qz::Progress p(nullptr, "Procesando Datos...");
  p.SetTotal(200);
  for (int i = 0; i < 100; ++i) p.Step();
  QWidget* box = ui.WaitWindow(1);
  ASSERT_NE(box, nullptr);
  auto* bar = box->findChild<QProgressBar*>("bar");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->maximum(), 200);
  EXPECT_EQ(bar->value(), 100);
  auto* cancel = box->findChild<QPushButton*>("cancel");
  ASSERT_NE(cancel, nullptr);
  EXPECT_FALSE(p.Cancelled());
  cancel->click();
  EXPECT_TRUE(p.Cancelled());
  EXPECT_FALSE(p.Step());
  p.Close();
  EXPECT_EQ(ui.WaitWindow(1), nullptr);
}

}  // namespace
