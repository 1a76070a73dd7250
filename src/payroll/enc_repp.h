// Payroll report formats (ENC_REPP, window "DEF_REPC", table ENC_REPP): the
// columns, totals and provisions a payroll report prints, with its headings
// and print options. Adding and modifying open CREP_COL ("CREP_COL"); the
// fields of a format (DET_REPP) follow its code and are deleted with it.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class ENC_REPP : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2609;
  ENC_REPP(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void OpenEdit(int mode) override;
};

}  // namespace qz
