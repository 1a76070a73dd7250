// Column types (DEF_TIP, window "DEF_TIP"): the catalog of the business's
// column types (ENC_TIP with their bracket rows DET_TIP). Adding and
// modifying open the column-type window ED_TIP ("DEF_TIP2"); a changed code
// is carried into the employees' values, the departments' columns, the
// report formats and the employees' splits. Deleting a type deletes those
// rows with it, in one transaction.
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class DEF_TIP : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2502;
  static constexpr const char* kDeleteQuestion = "Desea borrar el tipo?";
  static constexpr const char* kHasEmployees =
      "Este tipo tiene empleados asociados. Si usted borra el tipo, también borrará los datos "
      "correspondientes de los empleados\r\n¿Desea Borrar el tipo?";
  static constexpr const char* kHasDepartments =
      "Este tipo tiene Departamentos asociados. Si borra el tipo también borrará los datos "
      "correspondientes del departamento\r\n¿Desea Borrar el tipo?";

  DEF_TIP(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void Add() override;
  void Modify() override;
  void Delete() override;

 private:
  void OpenEditor(int mode);
};

}  // namespace qz
