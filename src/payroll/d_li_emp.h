// Employee-list formats (D_LI_EMP, window "D_LI_EMP", table ENC_EMP): which
// employee fields a printed employee list shows, with their titles,
// positions and lengths (55 items per format in DET_EMP). Adding and
// modifying open M_LI_EMP ("M_LI_EMP"); deleting a format deletes its items.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class D_LI_EMP : public CatalogScreen {
 public:
  static constexpr int kMenuId = 4492;
  D_LI_EMP(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void OpenEdit(int mode) override;
};

}  // namespace qz
