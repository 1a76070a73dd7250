// Hours-report columns (DEF_R_HO, window "DEF_R_HO"): one form over the
// business's F_PLAN7 row, not a catalog. "Columna 1:" is the base column
// (HORA_BASE, a column type that is part of the base salary) with its label
// ROT_BASE; "Columna 2:" .. "Columna 20:" (HORA_1 .. HORA_19) are column
// types whose factor follows the hourly cost. The ranges by occupancy
// (RANG_HOR1..20) and by guests in house (RANG_PAX1..20) are the upper
// bounds that label the position budget rows. "Guardar" writes the row
// (creating it when the business has none); "Salir" closes.
#pragma once

#include <string>

#include "lib/data/use.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/wdiag.h"

namespace qz {

class DEF_R_HO : public WDIAG {
 public:
  static constexpr int kRotBase = 500;
  static constexpr int kColumnaBase = 600;  // "Columna 1:"
  static constexpr int kColumna = 599;      // + n: "Columna n:", n = 2..20 (HORA_(n-1))
  static constexpr int kRangHor = 520, kRangPax = 540;  // + 1..20
  static constexpr int kGuardar = 3;
  static constexpr int kRanges = 20;
  // The entry that leaves a column empty.
  static constexpr const char* kNinguna = "(Ninguna)";

  DEF_R_HO(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~DEF_R_HO() override;

  bool Init();
  void Terminar(int result = 1);
  void Guardar();
  void OnActivate() override;

 private:
  bool Open();
  bool AbrirBases();
  void CerrarBases();
  void Fill();
  void Load();
  bool Validate();
  // Positions F_PLAN7 on the business's row; false when it has none.
  bool SeekRow();

  std::string negocio_;
  TablePtr f_plan7_, enc_tip_;
};

}  // namespace qz
