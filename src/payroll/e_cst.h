// The salary-certificate editor (E_CST, template "E_CST"): code,
// description, the percentage deducted from the salary, the certificate
// text with its employee-data placeholders, header and title options and the
// font. The placeholders are put at the caret from two lists: "Datos del
// Empleado" and the same data with an "x" after the opening brackets;
// "Borrar" takes every occurrence of the selected placeholders out of the
// text.
#pragma once

#include <string>
#include <vector>

#include "lib/ui/catalog_edit_window.h"

namespace qz {

struct CertificateToken {
  const char* caption;
  const char* token;
};

// The employee data a certificate can quote, in list order.
const std::vector<CertificateToken>& CertificateTokens();
// The second list's form of a token: "<<x" + the rest ("<<nombre>>" ->
// "<<xnombre>>"), except where the suite spells it otherwise.
std::string XToken(const CertificateToken& t);

class E_CST : public CatalogEditWindow {
 public:
  static constexpr int kCodigo = 500, kDescrip = 501, kRebajo = 502, kTexto = 503;
  static constexpr int kEncabezado = 504, kSinTitulo = 505, kLetra = 506;
  static constexpr int kDatos = 600, kDatosX = 601;
  static constexpr int kInsertar = 610, kInsertarX = 611, kBorrar = 612;

  E_CST(CatalogScreen& parent, const std::string& template_name, int mode)
      : CatalogEditWindow(parent, template_name, mode) {}

  // The selected placeholders of `list` at the caret of the text.
  void Insertar(int list);
  // Every occurrence of the placeholders selected in either list out of the
  // text.
  void Borrar();

 protected:
  void Register() override;
  void Fill() override;
  void LoadRow() override;
  bool Validate() override;
  void WriteFields() override;

 private:
  std::vector<std::string> Selected(int list) const;
};

}  // namespace qz
