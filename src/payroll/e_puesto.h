// The position edit window (E_PUESTO, template "MODIPUESTO"): code,
// description, hours per day, evaluation profile, the staffing budget of 20
// ranges (by occupancy % or by guests in house, labelled from the business's
// F_PLAN7 ranges), the room classes taken into the budget and the weekday
// pattern. While it is open the positions window is disabled.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/catalog.h"
#include "lib/ui/lists.h"
#include "lib/ui/wdiag.h"
#include "xbase/table.h"

namespace qz {

class E_PUESTO : public WDIAG {
 public:
  // Control ids of "MODIPUESTO".
  static constexpr int kCodigo = 500, kDescrip = 501, kHorasDia = 502;
  static constexpr int kPorOcupacion = 503, kPorPax = 504;
  static constexpr int kClases = 600, kPerfil = 601;
  static constexpr int kRangeLabel = 800, kEmpleados = 820, kExtras = 840;  // + row 1..20
  static constexpr int kFirstDay = 1011;  // three radios per day, Monday first
  static constexpr int kRows = 20;
  static constexpr const char* kSinPerfil = "Sin perfil asignado";

  // `mode` 0 = add, 1 = modify the row selected in the caller's list;
  // `table` is the caller's handle.
  E_PUESTO(CatalogScreen& parent, const std::string& template_name, const std::string& business,
           int mode, xb::Table* table);
  ~E_PUESTO() override;

  // Disables the caller, opens the lookup tables, shows the window and loads
  // it. False when it cannot open (the caller is enabled again).
  bool Init();
  void PROCESAR();
  void Terminar(int result);
  void CerrarBases();

  // The labels of the budget rows for basis 0 (occupancy) or 1 (guests).
  void Relabel(int basis);

 private:
  bool Open();
  bool AbrirBases();
  void FillLists();
  void LoadRow();
  void WriteFields(const std::string& code);
  bool NumbersValid();
  double Number(int id) const;
  std::string RoomClasses() const;
  std::string Week() const;

  CatalogScreen& parent_;
  std::string negocio_;
  int tipo_;
  xb::Table* t_puestos_;
  TablePtr f_plan7_, clas_rom_, perf_eva_;
  std::unique_ptr<CLISTBOX> oClases_;
  std::unique_ptr<CCOMBOBOX> oPerfil_;
  uint32_t recno_ = 0;   // the record loaded (modify)
  std::string codigo_;   // table bytes, padded
  std::string descrip_;  // UTF-8
  bool parent_disabled_ = false;
};

}  // namespace qz
