#include "lib/ui/cash_button.h"

#include "lib/ini/private_profile.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

CashButton* g_button = nullptr;

CashWindowOpener& Opener() {
  static CashWindowOpener opener;
  return opener;
}

}  // namespace

int ToolbarKindOfModule(const std::string& module) {
  const std::string m = Upper(Trim(module));
  if (m == "HOTEL" || m == "HOT_1" || m == "HOT_2") return kHotelToolbar;
  if (m == "VENTAS") return kSalesToolbar;
  if (m == "RES" || m == "DEPO") return kReservationsToolbar;
  if (m == "T_SHARE") return kTimeshareToolbar;
  return kPayrollToolbar;
}

std::string ModuleOfWorkstation() {
  return Trim(GetPrivateProfileString(kModuleSection, kModuleKey, "", QuartzelIni()));
}

int ToolbarKindToStart(const std::string& command_line_module) {
  return ToolbarKindOfModule(Trim(command_line_module).empty() ? ModuleOfWorkstation()
                                                               : command_line_module);
}

bool HasCashButton(int toolbar_kind) {
  return toolbar_kind == kHotelToolbar || toolbar_kind == kSalesToolbar ||
         toolbar_kind == kReservationsToolbar || toolbar_kind == kTimeshareToolbar;
}

std::string CashIcon(bool open, int n) {
  return (open ? "C_OPEN" : "C_CLOSE") + std::to_string(n);
}

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
