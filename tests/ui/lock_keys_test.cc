// The NUM and CAPS panes read the lock keys from what the keys do.
#include "ui/qt/lock_keys.h"

#include <gtest/gtest.h>

namespace {

TEST(LockKeys, LettersAndTheKeypadTellTheStateAndTheLockKeysTurnItOver) {
  qz::LockKeys k;
#ifndef Q_OS_WIN
  EXPECT_FALSE(k.caps().has_value());  // nothing typed yet
  EXPECT_FALSE(k.num().has_value());
  EXPECT_FALSE(k.Press(Qt::Key_CapsLock, "", Qt::NoModifier));  // from unknown: still unknown
#endif
  k.Press(Qt::Key_A, "A", Qt::NoModifier);
  EXPECT_EQ(k.caps(), true);
  EXPECT_FALSE(k.Press(Qt::Key_B, "b", Qt::ShiftModifier));  // Shift with Caps on: lower case
  EXPECT_TRUE(k.Press(Qt::Key_CapsLock, "", Qt::NoModifier));
  EXPECT_EQ(k.caps(), false);
  EXPECT_FALSE(k.Press(Qt::Key_C, "c", Qt::NoModifier));
  k.Press(Qt::Key_1, "1", Qt::NoModifier);  // digits of the main keys say nothing
  k.Press(Qt::Key_A, "a", Qt::ControlModifier);
  EXPECT_EQ(k.caps(), false);

  k.Press(Qt::Key_7, "7", Qt::KeypadModifier);
  EXPECT_EQ(k.num(), true);
  EXPECT_TRUE(k.Press(Qt::Key_NumLock, "", Qt::KeypadModifier));
  EXPECT_EQ(k.num(), false);
  k.Press(Qt::Key_Home, "", Qt::KeypadModifier | Qt::ShiftModifier);  // Shift: no verdict
  EXPECT_EQ(k.num(), false);
  EXPECT_TRUE(k.Press(Qt::Key_8, "8", Qt::KeypadModifier));
  EXPECT_TRUE(k.Press(Qt::Key_Left, "", Qt::KeypadModifier));
  EXPECT_EQ(k.num(), false);
  EXPECT_FALSE(k.Press(Qt::Key_Eacute, QString::fromUtf8("é"), Qt::NoModifier));
  EXPECT_TRUE(k.Press(Qt::Key_Eacute, QString::fromUtf8("É"), Qt::NoModifier));
  EXPECT_EQ(k.caps(), true);
}

}  // namespace
