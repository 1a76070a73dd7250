#include "payroll/e_usrreq.h"

#include "lib/ui/catalog_data.h"
#include "payroll/form_fields.h"
#include "payroll/password_field.h"

namespace qz {
namespace {

std::vector<BoundField> Fields() {
  std::vector<BoundField> f = {
      {E_USRREQ::kNombre, "NOMBRE", BoundField::kText, ""},
      {E_USRREQ::kMontoSob, "MONTO_SOB", BoundField::kNumber, "999999999999.99"},
      {E_USRREQ::kRuta, "RUTA", BoundField::kText, ""},
      {E_USRREQ::kPuesto, "PUESTO", BoundField::kText, ""},
      {E_USRREQ::kEmail, "EMAIL", BoundField::kText, ""},
      {E_USRREQ::kEspera, "ESPERA", BoundField::kNumber, "9999"},
  };
  const char* flags[] = {"SOBREGIRAR", "INVENT",   "CHEQUES",  "CXP",    "BANCOS", "CONTA",
                         "IMP_FIRMA",  "BORRADOR", "RECHAZAR", "AUT_AS", "HOTEL",  "ART_HOTEL"};
  for (int i = 0; i < 12; ++i)
    f.push_back({E_USRREQ::kFirstFlag + i, flags[i], BoundField::kCheck, ""});
  return f;
}

struct Selection {
  int id;
  const char* field;
};
const Selection kSelections[] = {{E_USRREQ::kEtapasReq, "ETAPAS_REQ"},
                                 {E_USRREQ::kEtapasCxp, "ETAPAS_CXP"},
                                 {E_USRREQ::kEtapasAbo, "ETAPAS_ABO"},
                                 {E_USRREQ::kDeparts, "DEPARTS"},
                                 {E_USRREQ::kNotifica, "NOTIFICA"}};

}  // namespace

bool E_USRREQ::AbrirLookups() {
  etap_pla_ = OpenTable(this, "ETAP_PLA");
  enc_dept_ = OpenTable(this, "ENC_DEPT");
  return etap_pla_ && enc_dept_;
}

void E_USRREQ::CerrarLookups() {
  CloseTable(etap_pla_);
  CloseTable(enc_dept_);
}

void E_USRREQ::Fill() {
  for (int id : {kEtapasReq, kEtapasCxp, kEtapasAbo, kNotifica})
    AddBusinessRows(*this, id, etap_pla_->table(), Negocio(), "DESCRIP");
  AddBusinessRows(*this, kDeparts, enc_dept_->table(), Negocio(), "DESCRIP");
}

void E_USRREQ::LoadRow() {
  LoadBound(*this, table(), Fields());
  for (const auto& s : kSelections) SelectBracketed(*this, s.id, FieldText(table(), s.field));
  // The stored password stays where it is: the field is left blank.
  SetText(kClave, "");
}

bool E_USRREQ::Validate() {
  return BoundNumbersValid(*this, Fields()) && PasswordStorable(*this, kClave);
}

void E_USRREQ::WriteFields() {
  xb::Table& t = table();
  WriteBound(*this, t, Fields());
  for (const auto& s : kSelections)
    if (t.FieldIndex(s.field) >= 0)
      t.Put(s.field,
            xb::Value::Char(ToField(BracketedSelection(*this, s.id, FieldWidth(t, s.field)),
                                    FieldWidth(t, s.field))));
  WritePassword(*this, kClave, t, "CLAVE", Tipo() == 0);
}

}  // namespace qz
