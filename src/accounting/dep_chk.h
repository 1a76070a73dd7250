// Process control (DEP_CHK, "Control de Procesos Contables"): the list of the
// business's departments with five flags that say which accounting processes
// apply to each one (cash, cheque and electronic payment, provisions,
// year-end bonus). A left click on a flag cell flips it under the
// department's lock. "Todos", "Activos" and "Inactivos" choose the
// departments listed.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/desktop.h"
#include "lib/ui/wdiag.h"

namespace qz {

class DEP_CHK : public WDIAG {
 public:
  static constexpr int kGrid = 700;
  static constexpr int kTodos = 1001, kActivos = 1002, kInactivos = 1003;
  static constexpr int kFirstFlag = 2;  // grid column (0-based) of PRO_CONTA1
  static constexpr int kFlags = 5;

  DEP_CHK(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~DEP_CHK() override;

  bool Init();
  void Terminar(int result = 1) { ENDDIALOG(result); }
  void OnActivate() override;

  // The list: every department (kTodos), the active or the inactive ones.
  void Filter(int which);
  // Flips flag `n` (1..5) of the department on the selected row.
  void Flip(int n);
  WBLISTBOX* oB() const { return grid_.get(); }
  static std::string FlagField(int n) { return "PRO_CONTA" + std::to_string(n); }

 private:
  bool Open();
  void CerrarBases();

  std::string negocio_;
  TablePtr enc_dept_;
  std::unique_ptr<WBLISTBOX> grid_;
};

}  // namespace qz
