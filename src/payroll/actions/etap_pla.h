// Approval stages of personnel actions (ETAP_PLA, window "ETAP_PLA", table
// ETAP_PLA) and their edit window MANT_PLA: kind of stage, what a document
// in the stage allows, the signature legend and the e-mail notification.
// A renamed stage is carried into the persons in charge and the other
// definitions naming it, and a deleted one taken out of the persons' lists,
// all or nothing.
#pragma once

#include <optional>
#include <string>

#include "payroll/record_editor.h"

namespace qz {

class MANT_PLA : public RecordEditor {
 public:
  static constexpr int kLeyenda = 502;
  static constexpr int kFirstTipo = 510;  // radios for TIPO 1 .. 5
  static constexpr int kFirstFlag = 520;  // NO_CONTAR .. P_FIRMA, in kFlags order
  static constexpr const char* kFlags[] = {"NO_CONTAR", "NO_MOSTRAR", "NO_MODIFI", "NO_ANULA",
                                           "NO_BORRA",  "IMPRIMIR",   "P_FIRMA"};
  static constexpr int kNotificar = 530, kTiempo1 = 531, kTiempo2 = 532, kHora1 = 533, kHora2 = 534;

  MANT_PLA(CatalogScreen& parent, int mode) : RecordEditor(parent, "MANT_PLA", mode) {}
  void PROCESAR() override;

 protected:
  void LoadRow(const xb::Table& t) override;
  void LoadDefaults() override;
  bool Validate(const std::string& code) override;
  void WriteFields(xb::Table& t) override;
  // A renamed stage: its persons, action types and parameters follow.
  void AfterSave(const std::string& code) override;
};

class ETAP_PLA : public EditedCatalog<MANT_PLA> {
 public:
  static constexpr int kMenuId = 4098;
  ETAP_PLA(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
  void Delete() override;
};

// "hh:mm" or "hh:mm:ss" as stored ("hh:mm:ss"); blank stays blank; nothing
// for text that is no time of day.
std::optional<std::string> StageHour(const std::string& text);

}  // namespace qz
