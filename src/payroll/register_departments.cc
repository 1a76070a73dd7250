// Departments: the browser, its editor and sub-windows, duplication.
#include "payroll/departments/brow_dto.h"
#include "payroll/payroll_screens.h"

namespace qz {

void RegisterDepartmentScreens(MenuRegistry& r, Desktop& d) {
  r.Register("BROW_DTO", [&d](const std::string& business, const std::string& tmpl) {
    OpenScreen<BROW_DTO>(d, tmpl, business);
  });
}

}  // namespace qz
