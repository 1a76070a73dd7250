// Column groups of pay slips (DEF_GRP, window "DEF_GRP", table GRP_CMP):
// the sets of columns a pay slip prints together, with their picture, print
// order, whether the detail is shown and whether the set adds or subtracts,
// edited in ED_GRP. A changed code is carried into every column type of the
// business in the group.
#pragma once

#include <string>

#include "payroll/record_editor.h"

namespace qz {

class ED_GRP : public RecordEditor {
 public:
  static constexpr int kPicture = 502, kOrden = 503, kDetalle = 504, kSumar = 510, kRestar = 511;
  ED_GRP(CatalogScreen& parent, int mode) : RecordEditor(parent, "ED_GRP", mode) {}

 protected:
  void LoadRow(const xb::Table& t) override;
  void LoadDefaults() override { SetCheck(kSumar, 1); }
  bool Validate(const std::string& code) override;
  void WriteFields(xb::Table& t) override;
};

class DEF_GRP : public EditedCatalog<ED_GRP> {
 public:
  static constexpr int kMenuId = 3567;
  DEF_GRP(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
};

}  // namespace qz
