// Positions (PUESTOS, window "PUESTOS"): the catalog of the business's
// positions. Adding and modifying open the separate edit window E_PUESTO
// ("MODIPUESTO"); a changed code is carried into the employees (ENC_PERS,
// tag ENC_PERS16, field PUESTO).
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class PUESTOS : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2662;
  PUESTOS(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void OpenEdit(int mode) override;
};

}  // namespace qz
