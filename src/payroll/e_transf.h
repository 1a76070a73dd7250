// The transfer-type edit window (E_TRANSF, template "E_TIP_TRA"). A
// transfer type needs its currency and its electronic file type; the rest
// (texts, identifiers, accounts, the file's layout choices) is stored as
// typed. While it is open the transfer-type list is disabled.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/catalog.h"
#include "lib/ui/lists.h"
#include "lib/ui/wdiag.h"

namespace qz {

class E_TRANSF : public WDIAG {
 public:
  // Control ids of "E_TIP_TRA".
  static constexpr int kCodigo = 500, kDescrip = 501, kMoneda = 502, kArchivo = 503;
  static constexpr int kVersion = 504, kOrdenCedula = 505, kOrdenNombre = 506;
  static constexpr int kCero = 507, kCheque = 508, kCtaPorEmpleado = 509;
  static constexpr int kSerial = 520, kCtaCorriente = 521, kCtaAhorros = 522;
  static constexpr int kBancoCheque = 523;
  static constexpr const char* kFaltaMoneda = "Falta definir la moneda";
  static constexpr const char* kFaltaArchivo = "Falta definir el archivo electrónico";

  // `mode` 0 = add, 1 = modify the row selected in the caller's list.
  E_TRANSF(CatalogScreen& parent, const std::string& template_name, const std::string& business,
           int mode);
  ~E_TRANSF() override;

  bool Init();
  void PROCESAR();
  void Terminar(int result);
  void CerrarBases();

 private:
  bool Open();
  void FillLists();
  void LoadRow();
  void WriteFields(const std::string& code);
  void Fill(CCOMBOBOX& combo, const std::string& table, const std::string& tag,
            const std::string& scope);

  CatalogScreen& parent_;
  std::string negocio_;
  int tipo_;
  std::unique_ptr<CCOMBOBOX> oMoneda_, oArchivo_, oVersion_, oSerial_, oBanco_;
  uint32_t recno_ = 0;  // the record loaded (modify)
  std::string codigo_;  // table bytes, padded
  bool parent_disabled_ = false;
};

}  // namespace qz
