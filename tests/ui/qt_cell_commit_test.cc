// The real grid (offscreen Qt): a value typed into a cell and a button
// pressed without leaving the cell (its keyboard shortcut, "&Limpiar" is
// Alt+L, moves no focus) acts on the value typed, not on the one the cell
// held before; and the payroll opening walked that way carries the salary
// typed.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/qt_app.h"
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "lib/ui/browse.h"
#include "payroll/processes/init_pla.h"
#include "payroll/processes_fixture.h"
#include "ui/qt/dialog_view.h"
#include "ui/qt/qt_ui.h"

namespace {

using qz::INIT_PLA;

QApplication* App() { return qztest::QtApp(); }

class QtCellCommit : public qztest::ProcessSession {};

TEST_F(QtCellCommit, TheTypedValueIsSavedBeforeTheButtonActs) {
  App();
  qz::QtUi qt;
  qz::SetMessageBoxProvider(&ui);
  auto t = xb::Table::Open(file("ENC_PERS.DBF"));
  ASSERT_TRUE(t.ok());
  qz::WDIAG w(qt.desktop(), nullptr, "INIT_PLA");
  ASSERT_TRUE(w.INIT().ok());
  qz::WBLISTBOX grid(w, INIT_PLA::kEmpleados, t->get());
  grid.AddColumn("Identificación", "CODIGO", std::string(15, 'X'));
  grid.AddColumn("Nombre", "NOMBRE", std::string(31, 'X'));
  grid.AddColumn("Total Sal.", "TOT_SAL", "9999,999,999.99");
  std::string saved, seen_by_button = "(not pressed)";
  grid.SetEditable(2, [&](const std::string& text) {
    saved = text;
    return true;
  });
  ASSERT_TRUE(grid.BROWMARKS({{1, "ENC_PERS2"}}, 1, qztest::kHc).ok());
  w.ADD(INIT_PLA::kLimpiar, [&] { seen_by_button = saved; });
  qz::DialogView view(w);
  view.show();
  QApplication::processEvents();
  auto* table = qobject_cast<QTableView*>(view.widget(INIT_PLA::kEmpleados));
  ASSERT_NE(table, nullptr);
  const QModelIndex cell = table->model()->index(0, 2);
  table->setCurrentIndex(cell);
  table->edit(cell);
  QApplication::processEvents();
  auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(cell));
  ASSERT_NE(editor, nullptr);
  editor->setText("55");
  qobject_cast<QPushButton*>(view.widget(INIT_PLA::kLimpiar))->click();
  EXPECT_EQ(seen_by_button, "55");
  EXPECT_EQ(table->indexWidget(cell), nullptr);  // the cell is left
}

TEST_F(QtCellCommit, APayrollOpenedWithTheCellStillOpenCarriesTheTypedSalary) {
  for (const char* t : {"DET_DEP2", "DET_DEP3", "DET_PER2", "DET_PER3", "TIP_TRAN", "E_COSTO",
                        "D_COSTO", "GRP_CMP", "H_D_DEP2", "H_D_DEP3", "H_CONJ_C", "H_D_PER3",
                        "H_TIP_TR", "H_E_COST", "H_D_COST", "H_GRP_C"})
    Create(t);
  App();
  qz::QtUi qt;
  // The windows are Qt's; the message boxes are answered by the script.
  qz::SetMessageBoxProvider(&ui);
  qt.main_window()->show();
  INIT_PLA* s = qz::OpenScreen<INIT_PLA>(qt.desktop(), "INIT_PLA", qztest::kHc);
  ASSERT_NE(s, nullptr);
  Choose(*s->tree(), "D1");
  s->UserType(INIT_PLA::kFecha, "15/02/26");
  QApplication::processEvents();
  qz::DialogView* view = qt.ViewOf(s);
  ASSERT_NE(view, nullptr);
  auto* table = qobject_cast<QTableView*>(view->widget(INIT_PLA::kEmpleados));
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->model()->rowCount(), 2);

  const QModelIndex cell = table->model()->index(0, INIT_PLA::kTotSalColumn);
  table->setCurrentIndex(cell);
  table->edit(cell);
  QApplication::processEvents();
  auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(cell));
  ASSERT_NE(editor, nullptr);
  editor->setText("777");
  qobject_cast<QPushButton*>(view->widget(INIT_PLA::kConsolidar))->click();
  QApplication::processEvents();

  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{"Fin de Proceso"});
  EXPECT_EQ(Num("ENC_PERS", {{"CODIGO", "E1"}}, "TOT_SAL"), 777);
  // The new line (the last of E1's three) carries the salary typed.
  const auto lines = Rows("H_E_PERS", {{"CODIGO", "E1"}});
  ASSERT_EQ(lines.size(), 3u);
  auto h = xb::Table::Open(file("H_E_PERS.DBF"));
  ASSERT_TRUE(h.ok());
  ASSERT_TRUE((*h)->GoTo(lines.back()).ok());
  EXPECT_EQ((*h)->Get("TOT_SAL")->number(), 777);
  qt.desktop().CloseAll();
}

}  // namespace
