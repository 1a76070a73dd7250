// Transfer types (TIP_TRAN, window "TIP_TRAN"): how the payroll is paid
// through a bank — the electronic file, its currency and texts, the
// company's and bank's identifiers. Adding and modifying open the edit
// window E_TRANSF ("E_TIP_TRA"); a changed code is carried into the
// employees (ENC_PERS6, TIP_TRANSF).
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class TIP_TRAN : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2505;
  TIP_TRAN(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void OpenEdit(int mode) override;
};

}  // namespace qz
