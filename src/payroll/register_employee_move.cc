// Moving employees from one business to another.
#include "lib/ui/catalog.h"
#include "payroll/employee_move/copy_emp.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterEmployeeMoveScreens(MenuRegistry& r, Desktop& d) {
  r.Register("COPY_EMP", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<COPY_EMP>(d, tmpl, business);
  });
}

}  // namespace qz
