// The business toolbar (MToolBar, template "Toolbar"): the business every
// screen opens for, the logged-in user's abbreviation and the on-screen
// keyboard. Choosing another business asks the user to authenticate for it
// (the company-access dialog CHANGE_NEG); meanwhile every right is withdrawn,
// and the rights, menus and user globals are redone for whichever business
// is in force afterwards. The toolbar of a cash-handling module (kinds 1, 2,
// 3 and 5) also has the cash button, whose icon tells whether a box is open
// here and which opens the module's cash box window.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "lib/ui/cash_button.h"
#include "lib/ui/wdiag.h"
#include "shell/users.h"

namespace qz {

class PRINCIPAL;

class MToolBar : public WDIAG, public CashButton {
 public:
  enum : int { kBusiness = 601, kUserBox = 999, kKeyboard = 236 };
  // Controls of the company-access dialog CHANGE_NEG.
  enum : int { kAccessName = 500, kAccessPassword = 501, kAccessKeyboard = 201 };
  static constexpr int kPricesTimer = 1;
  static constexpr int64_t kPricesMs = 30000;
  // The user name no user has: rights loaded for it are withdrawn.
  static std::string ImpossibleUser() { return std::string(20, '#'); }

  // `cash_kind`: the toolbar kind of the module (ToolbarKind); this program's
  // own is 0, without cash button.
  MToolBar(Desktop& desktop, PRINCIPAL& main, int cash_kind = kPayrollToolbar);
  ~MToolBar() override;

  // Builds the bar from its template, loads the businesses (the first one
  // selected), the translations and the scheduled-prices switch.
  void Init();
  void LOAD_NEGOCIOS();
  // GET_NEGOCIO: the selected business code; sets XLOGOFILE and XLOGO2.
  std::string GET_NEGOCIO();
  std::string RET_NEGOCIO() const;
  // Selects the business and makes it the one in force; a code that is not
  // listed keeps the current selection. With no code, the first one.
  void SETNEGOCIO(const std::string& code = {});
  // Reloads the main window's rights for the selected business.
  UserRow LOAD_DERECHOS(const std::string& user_name);

  // The window systems report every user action on the bar here: a changed
  // business selection starts the business change.
  void OnActed();
  // The user chose `descrip` in the business combo (what OnActed detects).
  bool ChooseBusiness(const std::string& descrip);
  void PROC_NEGOCIOS();
  // Messages 2220 (authenticated for the new business) and 2221 (cancelled).
  void BusinessChanged();
  void BusinessCancelled();
  // Scheduled prices (timer 1, message 1913).
  void CHEQUEA_PRECIOS();
  // The on-screen keyboard for the focused control of the active window.
  void GO_TECLADO();

  // The cash button (CashButton): icon sets C_OPEN1-3 / C_CLOSE1-3.
  int cash_kind() const { return cash_kind_; }
  void CHANGE_CAJA(int open) override;
  void CHANGE_CAJA2(int open) override;
  std::string ActiveBusiness() override { return Cur_Neg; }
  // The bitmap a cash button shows ("" for a toolbar without it); the
  // window system is told through `icon_changed` (button id, bitmap).
  std::string CashIcon(int button_id) const;
  std::function<void(int button_id, const std::string& bitmap)> icon_changed;

  std::string uName;
  bool I_am_Out = true;
  int Prec_Auto = 0;
  std::string Cur_Neg;
  std::string XLOGO2;

 private:
  // The company-access dialog; true when the user authenticated.
  bool CompanyAccess(const std::string& code, const std::string& current_user);
  bool VerifyAccess(WDIAG& dlg, const std::string& code, AttemptCounter& attempts, bool* limit);

  PRINCIPAL& main_;
  void ShowCashIcon(int button_id, const std::string& bitmap);

  int cash_kind_ = kPayrollToolbar;
  std::map<int, std::string> cash_icons_;
  int shown_business_ = -1;
};

}  // namespace qz
