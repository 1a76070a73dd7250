// Customised personnel-action types (ACC_PERS, window "ACC_PERS", table
// TIP_ACC2), edited in MOD_ACCI. A changed code is carried into the actions
// of the type (ACCIONES), all of them or none.
#pragma once

#include <string>

#include "payroll/actions/mod_acci.h"

namespace qz {

class ACC_PERS : public EditedCatalog<MOD_ACCI> {
 public:
  static constexpr int kMenuId = 4108;
  ACC_PERS(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
};

}  // namespace qz
