// The position edit window (E_PUESTO, template "MODIPUESTO"): code,
// description, hours per day, evaluation profile, the staffing budget of 20
// ranges (by occupancy % or by guests in house, labelled from the business's
// F_PLAN7 ranges), the room classes taken into the budget and the weekday
// pattern. While it is open the positions window is disabled.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/catalog_edit_window.h"
#include "lib/ui/lists.h"
#include "xbase/table.h"

namespace qz {

class E_PUESTO : public CatalogEditWindow {
 public:
  // Control ids of "MODIPUESTO".
  static constexpr int kCodigo = 500, kDescrip = 501, kHorasDia = 502;
  static constexpr int kPorOcupacion = 503, kPorPax = 504;
  static constexpr int kClases = 600, kPerfil = 601;
  static constexpr int kRangeLabel = 800, kEmpleados = 820, kExtras = 840;  // + row 1..20
  static constexpr int kFirstDay = 1011;  // three radios per day, Monday first
  static constexpr int kRows = 20;
  static constexpr const char* kSinPerfil = "Sin perfil asignado";

  // `mode` 0 = add, 1 = modify the row selected in the caller's list.
  E_PUESTO(CatalogScreen& parent, const std::string& template_name, int mode)
      : CatalogEditWindow(parent, template_name, mode) {}

  // The labels of the budget rows for basis 0 (occupancy) or 1 (guests).
  void Relabel(int basis);

 protected:
  bool AbrirLookups() override;
  void CerrarLookups() override;
  void Register() override;
  void Fill() override;
  void LoadNew() override;
  void LoadRow() override;
  bool Validate() override;
  void WriteFields() override;

 private:
  bool NumbersValid();
  double Number(int id) const;
  std::string RoomClasses() const;
  std::string Week() const;

  TablePtr f_plan7_, clas_rom_, perf_eva_;
  std::unique_ptr<CLISTBOX> oClases_;
  std::unique_ptr<CCOMBOBOX> oPerfil_;
};

}  // namespace qz
