#include "ui/qt/lock_keys.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace qz {
namespace {

bool MovesCursor(int key) {
  switch (key) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Clear:
      return true;
    default:
      return false;
  }
}

}  // namespace

LockKeys::LockKeys() {
#ifdef Q_OS_WIN
  caps_ = (GetKeyState(VK_CAPITAL) & 1) != 0;
  num_ = (GetKeyState(VK_NUMLOCK) & 1) != 0;
#endif
}

bool LockKeys::Press(int key, const QString& text, Qt::KeyboardModifiers modifiers) {
  const std::optional<bool> caps = caps_, num = num_;
  const bool shift = modifiers & Qt::ShiftModifier;
  if (key == Qt::Key_CapsLock) {
    if (caps_) caps_ = !*caps_;
  } else if (key == Qt::Key_NumLock) {
    if (num_) num_ = !*num_;
  } else if (modifiers & Qt::KeypadModifier) {
    // Shift turns the keypad's meaning over on some systems: only plain
    // presses tell.
    if (!shift && key >= Qt::Key_0 && key <= Qt::Key_9) num_ = true;
    if (!shift && MovesCursor(key)) num_ = false;
  } else if (text.size() == 1 && text[0].isLetter() && text[0].toUpper() != text[0].toLower() &&
             !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
    caps_ = text[0].isUpper() != shift;
  }
  return caps != caps_ || num != num_;
}

}  // namespace qz
