// The state of the Caps Lock and Num Lock keys, for the status panes of the
// main window. Qt does not report lock states, so they are read from what
// the keys do: a letter typed in upper case without Shift (or in lower case
// with it) means Caps Lock is on; a keypad key that types a digit means Num
// Lock is on, one that moves the cursor that it is off; pressing a lock key
// turns a known state over. Until a key tells, a state is unknown (on
// Windows the system is asked at start).
#pragma once

#include <QString>
#include <Qt>
#include <optional>

namespace qz {

class LockKeys {
 public:
  LockKeys();
  // Follows one key press; true when a state changed.
  bool Press(int key, const QString& text, Qt::KeyboardModifiers modifiers);
  std::optional<bool> caps() const { return caps_; }
  std::optional<bool> num() const { return num_; }

 private:
  std::optional<bool> caps_, num_;
};

}  // namespace qz
