// The real windows (offscreen Qt) open inside the work area: lists ask Qt for
// more room than their lines need, and a window asking for more than the
// area has would open with its buttons out of sight.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "lib/ui/dialog_template.h"
#include "lib/ui/wdiag.h"
#include "ui/qt/dialog_view.h"
#include "ui/qt/qt_ui.h"

namespace {

QApplication* App() {
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance())
                                 ? qobject_cast<QApplication*>(QCoreApplication::instance())
                                 : new QApplication(argc, argv);
  return app;
}

TEST(QtWindowFit, AWindowOpensWithItsButtonsInsideTheWorkArea) {
  App();
  qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
  qz::QtUi qt;
  // A small screen: five lists of seven lines, two combos and the buttons
  // fit in it only if the lists give up what they ask beyond their lines.
  qt.main_window()->resize(980, 560);
  qt.main_window()->show();
  QApplication::processEvents();
  qz::WDIAG w(qt.desktop(), nullptr, "ARC_INF");
  ASSERT_TRUE(w.CREATE().ok());
  QApplication::processEvents();
  const QRect area = qt.mdi()->viewport()->rect();
  QMdiSubWindow* sub = qt.mdi()->subWindowList().value(0);
  ASSERT_NE(sub, nullptr);
  ASSERT_GT(sub->sizeHint().height(), area.height());  // it does ask for more
  EXPECT_LE(sub->geometry().bottom(), area.bottom());
  EXPECT_LE(sub->geometry().right(), area.right());
  auto* ok = qobject_cast<QPushButton*>(qt.ViewOf(&w)->widget(1));
  ASSERT_NE(ok, nullptr);
  const QPoint corner = ok->mapTo(qt.mdi()->viewport(), QPoint(ok->width(), ok->height()));
  EXPECT_TRUE(area.contains(corner)) << corner.x() << "," << corner.y();

  // A window that asks for less keeps what it asks for.
  qz::WDIAG small(qt.desktop(), nullptr, "CREA_SAP");
  ASSERT_TRUE(small.CREATE().ok());
  QApplication::processEvents();
  QMdiSubWindow* second = qt.mdi()->activeSubWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->size(), second->sizeHint());
  w.ENDDIALOG(2);
  small.ENDDIALOG(2);
  QApplication::processEvents();
}

}  // namespace
