// Payroll types (TIPO_PLA, window "DEF_TIPO_PLA"): how often a department is
// paid and the divisors that turn a monthly salary into one payroll's
// amount, an hourly cost or a day. Adding and modifying open the edit window
// E_TIPPLA; deleting does not look at the departments that use the type.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class TIPO_PLA : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2504;
  TIPO_PLA(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void Add() override;
  void Modify() override;

 private:
  void OpenEditor(int mode);
};

}  // namespace qz
