// Occupations (OCUPA, window "OCUPA", edit dialog "MODIOCUPA"): a catalog
// of the business's occupations with an external code. Control 500
// ("Consecut:") is the catalog code, 501 the description, 502 ("Código") the
// external code XCODIGO.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class OCUPA : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2674;
  OCUPA(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
};

}  // namespace qz
