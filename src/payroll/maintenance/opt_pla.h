// "Optimizar Base de Datos" (OPT_PLA): packs and reindexes the payroll
// tables of the installation, all businesses at once. The user is told to
// have everyone else out of the program; a table still open somewhere is
// named and nothing is touched, so the user can clear it and press
// "Optimizar" again. Box 501 shows the table being optimised.
#pragma once

#include <string>

#include "lib/ui/wdiag.h"

namespace qz {

class OPT_PLA : public WDIAG {
 public:
  static constexpr int kOptimizar = 1;
  static constexpr int kCancelar = 2;
  static constexpr int kTabla = 501;
  static constexpr const char* kRevise =
      "Revise que ningun usuario este usando el sistema, y cierre todas las demas ventanas.";

  // The business is not used: the tables are shared by every business.
  OPT_PLA(Desktop& desktop, const std::string& template_name, const std::string& business);

  bool Init();
  void OnActivate() override;
  // Runs the optimisation; the window closes itself when every table is done.
  void Optimizar();
};

}  // namespace qz
