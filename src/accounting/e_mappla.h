// The form of one link-by-position row (E_MAPPLA, "Datos para Mapeo"):
// department, position, column type and payroll link, chosen from the
// business's rows, and the "Cuenta Estadística" mark. A new row starts with
// the department listed behind it. The list behind stays disabled while the
// form is open.
#pragma once

#include <cstdint>
#include <string>

#include "lib/ui/wdiag.h"

namespace qz {

class MAP_PLA;

class E_MAPPLA : public WDIAG {
 public:
  static constexpr int kDepto = 601, kPuesto = 602, kColumna = 603, kLiga = 604;
  static constexpr int kEstadistica = 505;
  static constexpr const char* kTaken = "Esta combinatoria ya existe";

  // `mode` 0 = add, 1 = modify the row selected in `parent`'s list.
  E_MAPPLA(MAP_PLA& parent, int mode);
  ~E_MAPPLA() override;

  bool Init();
  // "Aceptar".
  void PROCESAR();
  void Terminar(int result) { ENDDIALOG(result); }

 private:
  bool Open();
  void Release();
  // Another row (not the one loaded) has this combination.
  bool Taken(const std::string& key) const;

  MAP_PLA& parent_;
  int tipo_;
  uint32_t recno_ = 0;
  bool parent_disabled_ = false;
};

}  // namespace qz
