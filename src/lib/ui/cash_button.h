// The toolbar's cash button as the layers below the shell see it. A module
// whose toolbar has the button ("Apertura/Cierre de Cajas") lets the cash
// layer turn its icon (open / closed) and ask for the business in force; the
// shell's toolbar installs itself here (XTBARSELF) and, when the button is
// pressed, runs the opener the program registered at start. So the shell
// never knows the cash screens, and the cash layer never knows the shell.
#pragma once

#include <functional>
#include <string>

namespace qz {

class Desktop;
class WDIAG;

// The toolbar a module builds: 0 (this program) has no cash button, nor has
// the casino's 4; 5 has a second one for the second timeshare box.
enum ToolbarKind : int {
  kPayrollToolbar = 0,
  kHotelToolbar = 1,
  kSalesToolbar = 2,
  kReservationsToolbar = 3,
  kCasinoToolbar = 4,
  kTimeshareToolbar = 5,
};

// The toolbar kind of a module name ("HOTEL", "HOT_1", "HOT_2", "VENTAS",
// "RES", "DEPO", "T_SHARE"); 0 for any other (this program's "PCFG").
int ToolbarKindOfModule(const std::string& module);
// The module a workstation runs as when the command line names none:
// QUARTZEL.INI, section "MODULO", key "MODULO" (empty: this program's own).
// A front-desk workstation keeps its cash button across restarts this way.
std::string ModuleOfWorkstation();
inline constexpr const char* kModuleSection = "MODULO";
inline constexpr const char* kModuleKey = "MODULO";
// The toolbar kind a start builds: the module of the command line, else the
// workstation's.
int ToolbarKindToStart(const std::string& command_line_module);
bool HasCashButton(int toolbar_kind);

// The button ids on the toolbar and their caption.
inline constexpr int kCashButtonId = 234;
inline constexpr int kCashButton2Id = 235;
inline constexpr const char* kCashButtonCaption = "Apertura/Cierre de Cajas";
// The icon sets, 1 to 3 (normal, selected, disabled).
std::string CashIcon(bool open, int n = 1);

class CashButton {
 public:
  virtual ~CashButton() = default;
  // The icon set of the first button: 1 a box is open here, 0 none.
  virtual void CHANGE_CAJA(int open) = 0;
  // The same for the second timeshare box (control 235).
  virtual void CHANGE_CAJA2(int open) = 0;
  // The business in force in the toolbar.
  virtual std::string ActiveBusiness() = 0;
};

// The toolbar of this process (not owned); null without one.
void SetCashButton(CashButton* button);
CashButton* CurrentCashButton();

// Opens the cash box window of a toolbar kind (`box_type` 2: the second
// timeshare box) for `business`, owned by the toolbar window.
using CashWindowOpener = std::function<void(Desktop& desktop, WDIAG* toolbar, int toolbar_kind,
                                            int box_type, const std::string& business)>;
void SetCashWindowOpener(CashWindowOpener opener);
// False when no opener was registered (nothing happens then).
bool OpenCashWindow(Desktop& desktop, WDIAG* toolbar, int toolbar_kind, int box_type,
                    const std::string& business);

}  // namespace qz
