// Persons in charge of authorising personnel actions (AUTO_PLA, window
// "AUTO_PLA", table AUTO_PLA) and their edit window M_AU_PLA: name,
// signature, position, legend, e-mail, the right to process directly and
// the stages the person may modify and authorise, each list kept as
// "[" + stage code + "]" per selected stage of the business.
//
// The password is stored scrambled as the suite stores its passwords and
// never shown again: on modify its field is blank, and blank keeps it.
#pragma once

#include <string>

#include "lib/data/use.h"
#include "lib/ui/catalog_edit_window.h"

namespace qz {

class M_AU_PLA : public CatalogEditWindow {
 public:
  static constexpr int kCodigo = 500, kNombre = 501, kClave = 502, kFirma = 503, kPuesto = 504,
                       kLeyenda = 505, kEmail = 506, kDirecto = 510;
  static constexpr int kEtapasMod = 600, kEtapasAut = 601;

  M_AU_PLA(CatalogScreen& parent, const std::string& template_name, int mode)
      : CatalogEditWindow(parent, template_name, mode) {}

 protected:
  bool AbrirLookups() override;
  void CerrarLookups() override;
  void Fill() override;
  void LoadRow() override;
  bool Validate() override;
  void WriteFields() override;

 private:
  TablePtr etap_pla_;
};

class AUTO_PLA : public CatalogScreen {
 public:
  static constexpr int kMenuId = 4102;
  AUTO_PLA(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();
  void OpenEdit(int mode) override;
};

}  // namespace qz
