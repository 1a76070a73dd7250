#include "shell/keyboard.h"

#include <cstring>

#include "lib/ui/desktop.h"

namespace qz {
namespace {

void DropLastCharacter(std::string* s) {
  if (s->empty()) return;
  size_t i = s->size() - 1;
  // UTF-8: drop continuation bytes with their lead byte.
  while (i > 0 && (static_cast<unsigned char>((*s)[i]) & 0xC0) == 0x80) --i;
  s->erase(i);
}

}  // namespace

std::string TECLADO(Desktop& desktop, WDIAG* target, int control) {
  std::string typed;
  const int n = static_cast<int>(std::strlen(kKeyboardKeys));
  int r = DIALOG_BOX(desktop, "TECLADO", target, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) return 1;
    if (msg != kWmCommand) return 0;
    std::string text = dlg.Text(kKeyboardText);
    const int id = static_cast<int>(wparam);
    if (id >= kFirstKey && id < kFirstKey + n) {
      text += kKeyboardKeys[id - kFirstKey];
    } else if (id == kKeyN) {
      text += "Ñ";
    } else if (id == kKeySpace) {
      text += ' ';
    } else if (id == kKeyBackspace) {
      DropLastCharacter(&text);
    } else if (id == 1) {
      typed = text;
      dlg.ENDDIALOG(1);
      return 1;
    } else if (id == 2) {
      dlg.ENDDIALOG(2);
      return 1;
    } else {
      return 0;
    }
    dlg.SetText(kKeyboardText, text);
    return 1;
  });
  if (r != 1) return "";
  if (target && control != 0 && !target->ended())
    target->UserType(control, target->Text(control) + typed);
  return typed;
}

}  // namespace qz
