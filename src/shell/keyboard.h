// The on-screen keyboard (template TECLADO): for users whose keyboard is
// missing or locked, letters and digits typed by clicking. What was typed is
// added to the control that had the focus when it was opened.
#pragma once

#include <string>

namespace qz {

class Desktop;
class WDIAG;

// The characters on the keys, in order; key i has control id kFirstKey + i.
inline constexpr const char* kKeyboardKeys = "1234567890QWERTYUIOPASDFGHJKLZXCVBNM";
inline constexpr int kKeyboardText = 500;
inline constexpr int kFirstKey = 300;
inline constexpr int kKeySpace = 390;
inline constexpr int kKeyBackspace = 391;
inline constexpr int kKeyN = 392;  // "Ñ"

// Shows the keyboard; "Aceptar" appends the text to control `control` of
// `target` (nothing when there is no target or it is not an edit control).
// Returns the text typed ("" when cancelled).
std::string TECLADO(Desktop& desktop, WDIAG* target, int control);

}  // namespace qz
