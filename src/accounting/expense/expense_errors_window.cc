#include "accounting/expense/expense_errors_window.h"

#include "lib/ui/desktop.h"
#include "lib/ui/wdiag.h"

namespace qz {

constexpr int kErrorText = 500;

void ShowExpenseErrors(WDIAG& owner, const std::vector<ExpenseError>& errors) {
  std::string text;
  for (const ExpenseError& e : errors) text += e.text + "\r\n";
  DIALOG_BOX(owner.desktop(), "V_ERROR_2", &owner,
             [&text](WDIAG& d, int msg, int64_t wparam, int64_t) {
               if (msg == kWmInitDialog) {
                 d.SetText(kErrorText, text);
                 return 1;
               }
               if (msg == kWmCommand && (wparam == 1 || wparam == 2)) d.ENDDIALOG(1);
               return 1;
             });
}

}  // namespace qz
