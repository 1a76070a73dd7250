// Message boxes: the one way the program tells the user something and asks a
// yes/no question. Styles are the Win32 values the screens are written with;
// the answer is 1 (OK / Sí / Reintentar) or 2 (Cancelar / No).
// The window system in use (Qt, or the scripted headless one in tests and
// automation) installs the provider.
#pragma once

#include <string>

namespace qz {

enum MessageBoxStyle : int {
  kMbOk = 0,
  kMbOkCancel = 1,
  kMbIconStop = 16,
  kMbIconQuestion = 32,
  kMbIconWarning = 48,
  kMbIconInformation = 64,
};

class MessageBoxProvider {
 public:
  virtual ~MessageBoxProvider() = default;
  // `text` and `title` are UTF-8. Returns 1 or 2.
  virtual int Show(const std::string& text, const std::string& title, int style) = 0;
};

// Installs `p` (not owned); null = none (every box then answers 1 unseen).
void SetMessageBoxProvider(MessageBoxProvider* p);
MessageBoxProvider* CurrentMessageBoxProvider();

// Shows a message box through the installed provider.
int MESSAGE_BOX(const std::string& text, const std::string& title, int style = kMbOk);

}  // namespace qz
