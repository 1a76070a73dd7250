// The digital-signature editor (E_USRREQ, template "AGREGAR_USR_REQ"): name,
// permission flags, overdraft limit, signature password, image path,
// position, e-mail, waiting time and the selected stages (requisitions,
// payables, payments, notifications: the business's approval stages) and
// departments, each kept as "[code]" per selected entry.
//
// The signature password is stored scrambled the way the suite stores user
// passwords and is never put back into the form: its field is a password
// field left blank on modify, and a blank field keeps the stored password.
#pragma once

#include <string>

#include "lib/data/use.h"
#include "lib/ui/catalog_edit_window.h"

namespace qz {

class E_USRREQ : public CatalogEditWindow {
 public:
  static constexpr int kCodigo = 500, kNombre = 501;
  static constexpr int kFirstFlag = 510;  // 12 check boxes, SOBREGIRAR .. ART_HOTEL
  static constexpr int kMontoSob = 530, kClave = 531, kRuta = 532, kPuesto = 533;
  static constexpr int kEmail = 534, kEspera = 535;
  static constexpr int kEtapasReq = 600, kEtapasCxp = 601, kEtapasAbo = 602;
  static constexpr int kDeparts = 603, kNotifica = 604;

  E_USRREQ(CatalogScreen& parent, const std::string& template_name, int mode)
      : CatalogEditWindow(parent, template_name, mode) {}

 protected:
  bool AbrirLookups() override;
  void CerrarLookups() override;
  void Fill() override;
  void LoadRow() override;
  bool Validate() override;
  void WriteFields() override;

 private:
  TablePtr etap_pla_, enc_dept_;
};

}  // namespace qz
