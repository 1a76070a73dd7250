// Salary-certificate formats (DF_CST, window "DF_CST", table F_CONST): the
// texts the employee module prints as salary certificates. Adding and
// modifying open E_CST ("E_CST").
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class DF_CST : public CatalogScreen {
 public:
  static constexpr int kMenuId = 3900;
  DF_CST(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void OpenEdit(int mode) override;
};

}  // namespace qz
