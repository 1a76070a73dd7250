// Cost centres (DEF_CC, list "Centros de Costos para Planillas", editor
// "Edición de Centro de Costos"): code, description and the prefix that goes
// into account numbers. A centre's new code is carried into every
// department split (DET_DEP3), employee split (DET_PER3) and distribution
// line (D_COSTO) that used the old one, all in one transaction with the
// centre itself.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class DEF_CC : public CatalogScreen {
 public:
  static constexpr int kMenuId = 3413;
  static constexpr int kCodigo = 500, kDescrip = 501, kPrefijo = 502;
  static constexpr const char* kCodeTaken = "Este Código ya existe...";
  static constexpr const char* kNewCodeTaken = "Este Código  ya existe...";
  static constexpr const char* kRecoding = "Un momento por favor(Recodificando)...";

  DEF_CC(Desktop& desktop, const std::string& template_name, const std::string& business);

  bool SaveEdit(WDIAG& dlg, int mode) override;
};

}  // namespace qz
