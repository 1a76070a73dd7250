// The business's SAP journal mapping (AS_SAP, "Asiento Contable SAP"): the
// rows are copied into the scratch table TMP_SAP, listed with their item
// ("Descripción") and label ("Rotulo"), added and modified through E_SAP
// and removed; "&Aceptar" writes back what was changed here to F_AS_SA2 in
// one transaction (creating the business's F_AS_SAP header the first time),
// "&Cancelar" leaves the mapping as it was. Another workstation's changes
// made meanwhile are kept; a row both changed is refused with a message.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "accounting/sap/e_sap.h"
#include "lib/data/use.h"
#include "lib/ui/wdiag.h"

namespace qz {

class AS_SAP : public WDIAG {
 public:
  static constexpr int kMenuId = 4209;
  static constexpr int kList = 700;
  static constexpr int kAgregar = 201, kModificar = 202, kQuitar = 203;
  static constexpr int kAceptar = 1, kCancelar = 2;
  static constexpr const char* kAskDelete = "¿Desea borrar el item seleccionado?";
  static constexpr const char* kNoRow = "Falta seleccionar el item";
  static constexpr const char* kChangedElsewhere =
      "Otro usuario modificó o borró estos items mientras los editaba; no se guardó nada. "
      "Cancele y vuelva a abrir la pantalla para ver sus cambios:";

  AS_SAP(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~AS_SAP() override;

  bool Init();
  void OnActivate() override;

  void Agregar();
  void Modificar();
  void Quitar();
  // Writes the mapping back; true when it was saved (the window closes).
  bool Aceptar();

  // The rows shown, in order, as {item, label} (UTF-8, trimmed).
  std::vector<std::pair<std::string, std::string>> Shown() const;

 private:
  bool AbrirBases();
  void CerrarBases();
  void Fill();
  // The scratch record of the selected list entry (0: none).
  uint32_t Selected() const;
  void Edit(uint32_t recno);

  std::string negocio_;
  TablePtr tmp_sap_, f_as_sap_, f_as_sa2_;
  // The stored rows as the window read them, by record: a row is written
  // back only when it was changed here, and refused when another
  // workstation changed it too.
  std::map<uint32_t, SapMapRow> opened_;
  E_SAP editor_;
};

}  // namespace qz
