// The configuration of the employer's report file (ARC_INF, title "Formato
// de Archivo del Informe"): which bonus period counts as "Aguinaldo" and as
// "Bono 14", and which column types of the business feed each amount of the
// report. The choices live in the business's payroll-parameters row; only
// their seven fields are written, so a parameters window saving at another
// workstation keeps what it changed.
#pragma once

#include <string>

#include "lib/data/use.h"
#include "lib/ui/wdiag.h"

namespace qz {

class ARC_INF : public WDIAG {
 public:
  static constexpr int kMenuId = 4756;
  static constexpr int kAguinaldo = 601, kBono14 = 602;
  // The column lists, in the order of ReportLists().
  static constexpr int kFirstList = 701;

  ARC_INF(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~ARC_INF() override;

  bool Init();
  void Terminar(int result = 1) { ENDDIALOG(result); }
  // Writes the choices; the window closes when they were stored.
  void Aceptar();

  const std::string& Negocio() const { return negocio_; }

 private:
  bool AbrirBases();
  void CerrarBases();
  // Positions F_PLAN on the business's row; false when it has none.
  bool SeekPlan();
  void FillControls();
  void ShowStored();
  // The stored text of each list, or the caption of a list too long for
  // its field (nothing is then written).
  bool TakeLists(std::vector<std::string>* stored, std::string* too_long) const;

  std::string negocio_;
  TablePtr f_plan_, enc_tip_;
};

}  // namespace qz
