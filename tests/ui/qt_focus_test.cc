// The real Qt dialogs, offscreen: what the user types goes into the control
// the screen gave the focus when the dialog opened (the login's user name,
// the password of the session lock and of the business change), not into
// whatever control Qt would pick first.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/qt_app.h"
#include <QKeyEvent>
#include <QTimer>

#include "lib/ui/desktop.h"
#include "lib/ui/dialog_template.h"
#include "ui/qt/qt_ui.h"

namespace {

QApplication* App() { return qztest::QtApp(); }

// One key as the keyboard sends it: to the widget that has the focus.
void Key(int key, const QString& text = {}) {
  QWidget* target = QApplication::focusWidget();
  if (!target) target = QApplication::activeModalWidget();
  if (!target) return;
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

void Type(const QString& text) {
  for (QChar c : text) Key(c.toUpper().unicode(), QString(c));
}

struct Case {
  const char* tmpl;
  int focus;  // where the screen puts the focus on opening
  int other;  // a field that must stay as it was
};

TEST(QtFocus, TypingLandsInTheFieldTheScreenFocused) {
  App();
  qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
  qz::QtUi ui;
  ui.main_window()->show();
  for (const Case& c : {Case{"XLOGINUSR", 500, 501}, Case{"BLOQ_SESSION", 501, 500},
                        Case{"CHANGE_NEG", 501, 500}}) {
    qz::WDIAG* dialog = nullptr;
    std::string focused, other;
    QTimer::singleShot(100, [&] {
      Type("clave9");
      if (dialog) {
        focused = dialog->Text(c.focus);
        other = dialog->Text(c.other);
      }
      Key(Qt::Key_Escape);  // "&Cancelar"
    });
    int r = qz::DIALOG_BOX(ui.desktop(), c.tmpl, nullptr,
                           [&](qz::WDIAG& d, int msg, int64_t wparam, int64_t) {
                             if (msg == qz::kWmInitDialog) {
                               dialog = &d;
                               if (c.other == 500) d.SetText(500, "ANA");
                               d.SetFocus(c.focus);
                               return 1;
                             }
                             if (msg == qz::kWmCommand && wparam == 2) d.ENDDIALOG(2);
                             return 1;
                           });
    EXPECT_EQ(r, 2) << c.tmpl;
    EXPECT_EQ(QString::fromStdString(focused).toUpper().toStdString(), "CLAVE9") << c.tmpl;
    EXPECT_EQ(other, c.other == 500 ? "ANA" : "") << c.tmpl;
  }
}

}  // namespace
