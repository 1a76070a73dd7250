// The employee-list format editor (M_LI_EMP, template "M_LI_EMP"): code,
// description, page orientation, font size, and the 55 items, one per
// employee field in a fixed order, each with its title, inclusion check,
// position and length. Saving writes the format's 55 DET_EMP rows: all of
// them for a new format, and on modify the ones that exist are rewritten and
// any missing one is created.
#pragma once

#include <string>
#include <vector>

#include "lib/payroll/employee_list_fields.h"
#include "lib/ui/catalog_edit_window.h"

namespace qz {

class M_LI_EMP : public CatalogEditWindow {
 public:
  static constexpr int kCodigo = 500, kDescrip = 501;
  static constexpr int kVertical = 502, kHorizontal = 503;      // PAGINA 0, 1
  static constexpr int kLetra1 = 504, kLetra2 = 505, kLetra3 = 506;  // LETRA 1..3
  // Item n (1..55): title, check, position, length.
  static constexpr int kTitulo = 1100, kCheck = 1200, kPosicion = 1300, kLongitud = 1400;
  static constexpr int kItems = 55;

  M_LI_EMP(CatalogScreen& parent, const std::string& template_name, int mode)
      : CatalogEditWindow(parent, template_name, mode) {}

 protected:
  void LoadNew() override;
  void LoadRow() override;
  bool Validate() override;
  void WriteFields() override;
  void WriteDetails(const std::string& code) override;
};

}  // namespace qz
