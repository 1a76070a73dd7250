#include "lib/ui/cash_button.h"

namespace qz {
namespace {

CashButton* g_button = nullptr;

CashWindowOpener& Opener() {
  static CashWindowOpener opener;
  return opener;
}

}  // namespace

void SetCashButton(CashButton* button) {
  g_button = button;
}

CashButton* CurrentCashButton() {
  return g_button;
}

void SetCashWindowOpener(CashWindowOpener opener) {
  Opener() = std::move(opener);
}

bool OpenCashWindow(Desktop& desktop, WDIAG* toolbar, int toolbar_kind, int box_type,
                    const std::string& business) {
  if (!Opener()) return false;
  Opener()(desktop, toolbar, toolbar_kind, box_type, business);
  return true;
}

}  // namespace qz
