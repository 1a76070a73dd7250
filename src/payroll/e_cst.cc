#include "payroll/e_cst.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/form_fields.h"

namespace qz {
namespace {

const std::vector<BoundField> kFields = {
    {E_CST::kDescrip, "DESCRIP", BoundField::kText, ""},
    {E_CST::kRebajo, "REB_CONST", BoundField::kNumber, "999.99"},
    {E_CST::kEncabezado, "HEAD_CONST", BoundField::kCheck, ""},
    {E_CST::kSinTitulo, "SIN_TITULO", BoundField::kCheck, ""},
    {E_CST::kLetra, "LETRA_CONS", BoundField::kText, ""},
};

// The memo keeps the suite's line ends; the control works with "\n".
std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

}  // namespace

const std::vector<CertificateToken>& CertificateTokens() {
  static const std::vector<CertificateToken> kTokens = {
      {"Nombre Completo", "<<nombre>>"},
      {"Nombre ", "<<p_nombre>>"},
      {"1.er Apellido ", "<<apellido1>>"},
      {"2.do Apellido ", "<<apellido2>>"},
      {"Cédula", "<<cedula>>"},
      {"Departamento", "<<c_depto>>"},
      {"Fecha", "<<fecha>>"},
      {"Fecha de Ingreso", "<<fecha_i>>"},
      {"Fecha de Retiro", "<<fecha_f>>"},
      {"Puesto", "<<puesto>>"},
      {"Tipo Ident.", "<<tipo.Ident>>"},
      {"Salario", "<<salario>>"},
      {"Salario Líquido", "<<sal_liq>>"},
      {"Salario en Letras", "<<l_salario>>"},
      {"Salario Líquido en Letras", "<<l_sal_liq>>"},
      {"Horario Lunes y Viernes", "<<H_LYV>>"},
      {"Horario Sabado", "<<H_SAB>>"},
      {"Horario Domingo", "<<H_DOM>>"},
      {"Seguro Social", "<<SEG_SOC>>"},
  };
  return kTokens;
}

std::string XToken(const CertificateToken& t) {
  const std::string token = t.token;
  // The second list spells the social-security one in lower case.
  if (token == "<<SEG_SOC>>") return "<<xseg_soc>>";
  return "<<x" + token.substr(2);
}

void E_CST::Register() {
  ADD(kInsertar, [this] { Insertar(kDatos); });
  ADD(kInsertarX, [this] { Insertar(kDatosX); });
  ADD(kBorrar, [this] { Borrar(); });
}

void E_CST::Fill() {
  for (const auto& t : CertificateTokens()) {
    AddEntry(kDatos, t.caption, t.token);
    AddEntry(kDatosX, t.caption, XToken(t));
  }
}

void E_CST::LoadRow() {
  LoadBound(*this, table(), kFields);
  auto memo = table().Get("TXT_CONST");
  SetText(kTexto, Replace(memo.ok() ? FromField(*memo) : std::string(), "\r\n", "\n"));
}

std::vector<std::string> E_CST::Selected(int list) const {
  std::vector<std::string> out;
  const ControlState* c = Control(list);
  for (size_t i = 0; c && i < c->entries.size(); ++i)
    if (c->entries[i].selected) out.push_back(c->entries[i].cargo);
  return out;
}

void E_CST::Insertar(int list) {
  std::string tokens;
  for (const auto& t : Selected(list)) tokens += t;
  if (tokens.empty()) return;
  InsertAtCaret(kTexto, tokens);
  SetFocus(kTexto);
}

void E_CST::Borrar() {
  std::string text = Text(kTexto);
  for (int list : {kDatos, kDatosX})
    for (const auto& t : Selected(list)) text = Replace(text, t, "");
  SetText(kTexto, text);
  SetFocus(kTexto);
}

bool E_CST::Validate() {
  if (TrimRight(Text(kCodigo)).empty()) {
    MESSAGE_BOX("Código en Blanco", "Error", kMbIconStop);
    SetFocus(kCodigo);
    return false;
  }
  if (!BoundNumbersValid(*this, kFields)) return false;
  double rebajo = ParseNumber(Text(kRebajo)).value_or(0);
  if (rebajo < 0 || rebajo > 100) {
    MESSAGE_BOX("El porcentaje de rebajo debe estar entre 0 y 100", "Error", kMbIconStop);
    SetFocus(kRebajo);
    return false;
  }
  return true;
}

void E_CST::WriteFields() {
  WriteBound(*this, table(), kFields);
  table().Put("TXT_CONST", xb::Value::Char(ToField(Replace(Replace(Text(kTexto), "\r\n", "\n"), "\n", "\r\n"), 0)));
}

}  // namespace qz
