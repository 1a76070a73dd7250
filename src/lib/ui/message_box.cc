#include "lib/ui/message_box.h"

namespace qz {
namespace {
MessageBoxProvider* g_provider = nullptr;
}

void SetMessageBoxProvider(MessageBoxProvider* p) {
  g_provider = p;
}
MessageBoxProvider* CurrentMessageBoxProvider() {
  return g_provider;
}

int MESSAGE_BOX(const std::string& text, const std::string& title, int style) {
  return g_provider ? g_provider->Show(text, title, style) : 1;
}

}  // namespace qz
