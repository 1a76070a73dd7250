// The departments list (BROW_DTO, window "BROW_DTO"): the business's
// departments by code or description (click a header), all of them, the
// active or the inactive ones (radios). Adding and modifying open the
// department editor DEF_DTO, which disables the list while it is open.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class BROW_DTO : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2503;
  static constexpr int kTodos = 101, kActivos = 102, kInactivos = 103;
  static constexpr int kReloj = 110;

  BROW_DTO(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void ConfigBrow() override;
  void OpenEdit(int mode) override;
  void Delete() override;
  bool DoOperation(const std::string& name) override;

  // The radio filter: 0 all, 1 active, 2 inactive.
  void Filter(int which);
  int filter() const { return filter_; }

 private:
  int filter_ = 0;
};

}  // namespace qz
