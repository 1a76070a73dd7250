// Vacation types (DEF_VAC, window "DEF_VAC"): the business's vacation
// profiles (ENC_VAC), one of which may be the default, edited in MANT_VAC.
// "Asignar Días" opens the days a type grants by months of service
// (DEF_VAC2). A type's days and its employees follow a change of its code;
// deleting a type deletes its days.
#pragma once

#include <string>

#include "lib/data/use.h"
#include "payroll/record_editor.h"

namespace qz {

class MANT_VAC : public RecordEditor {
 public:
  static constexpr int kDefault = 502;
  static constexpr const char* kBlankCode = "El código no puede definirse en blanco";
  static constexpr const char* kBlankDescrip = "La descripción no puede definirse en blanco";
  static constexpr const char* kSecondDefault = "Ya existe un tipo de vacaciones por defecto";
  MANT_VAC(CatalogScreen& parent, int mode) : RecordEditor(parent, "MANT_VAC", mode) {}

 protected:
  bool AbrirBases() override;
  void CloseOwnTables() override;
  void LoadRow(const xb::Table& t) override { LoadCheck(kDefault, t, "DEFAULT"); }
  bool Validate(const std::string& code) override;
  void WriteFields(xb::Table& t) override;

 private:
  bool OtherDefaultExists();
  TablePtr defaults_;  // ENC_VAC again, in tag ENC_VAC1 (business + default flag)
};

class DEF_VAC : public EditedCatalog<MANT_VAC> {
 public:
  static constexpr int kMenuId = 3937;
  static constexpr int kAsignarDias = 101;
  static constexpr const char* kNoTypes = "No hay registros para asignarle días";
  DEF_VAC(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  bool Init();
  void Delete() override;
  // "Asignar Días": the days of the selected type.
  void AsignarDias();
};

}  // namespace qz
