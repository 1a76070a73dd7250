// The one QApplication of a test binary that shows real Qt windows
// offscreen: made by the first test that needs it, reused by the rest.
#pragma once

#include <QApplication>

namespace qztest {

inline QApplication* QtApp() {
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance())
                                 ? qobject_cast<QApplication*>(QCoreApplication::instance())
                                 : new QApplication(argc, argv);
  return app;
}

}  // namespace qztest
