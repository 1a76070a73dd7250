#include "payroll/actions/auto_pla.h"

#include "lib/security/passwords.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "payroll/form_fields.h"

namespace qz {
namespace {

const std::vector<BoundField> kFields = {{M_AU_PLA::kNombre, "NOMBRE", BoundField::kText, ""},
                                         {M_AU_PLA::kFirma, "FIRMA", BoundField::kText, ""},
                                         {M_AU_PLA::kPuesto, "TXT_PUESTO", BoundField::kText, ""},
                                         {M_AU_PLA::kLeyenda, "P_LEYENDA", BoundField::kText, ""},
                                         {M_AU_PLA::kEmail, "EMAIL", BoundField::kText, ""},
                                         {M_AU_PLA::kDirecto, "DIRECTO", BoundField::kCheck, ""}};

struct StageList {
  int id;
  const char* field;
};
constexpr StageList kLists[] = {{M_AU_PLA::kEtapasMod, "ETAPAS_MOD"},
                                {M_AU_PLA::kEtapasAut, "ETAPAS_AUT"}};

}  // namespace

bool M_AU_PLA::AbrirLookups() {
  etap_pla_ = OpenTable(this, "ETAP_PLA");
  return etap_pla_ != nullptr;
}

void M_AU_PLA::CerrarLookups() {
  CloseTable(etap_pla_);
}

void M_AU_PLA::Fill() {
  for (const auto& l : kLists)
    AddBusinessRows(*this, l.id, etap_pla_->table(), Negocio(), "DESCRIP");
}

void M_AU_PLA::LoadRow() {
  LoadBound(*this, table(), kFields);
  for (const auto& l : kLists) SelectBracketed(*this, l.id, FieldText(table(), l.field));
  SetText(kClave, "");
}

bool M_AU_PLA::Validate() {
  const std::string clave = Text(kClave);
  if (!clave.empty() && !StorablePassword(ToField(clave, 0))) {
    MESSAGE_BOX("La clave contiene un carácter que no se puede guardar", "Error", kMbIconStop);
    SetFocus(kClave);
    return false;
  }
  return true;
}

void M_AU_PLA::WriteFields() {
  xb::Table& t = table();
  WriteBound(*this, t, kFields);
  for (const auto& l : kLists) {
    const int width = FieldWidth(t, l.field);
    if (width > 0)
      t.Put(l.field, xb::Value::Char(ToField(BracketedSelection(*this, l.id, width), width)));
  }
  const std::string clave = Text(kClave);
  if (!clave.empty() || Tipo() == 0) {
    const int width = FieldWidth(t, "CLAVE") > 0 ? FieldWidth(t, "CLAVE") : kPasswordWidth;
    std::string stored = clave.empty() ? std::string() : ENCRYPT_STRING(ToField(clave, 0), 1);
    stored.resize(width, ' ');
    t.Put("CLAVE", xb::Value::Char(stored));
  }
  SetText(kClave, "");
}

AUTO_PLA::AUTO_PLA(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup AUTO_PLA::Setup() {
  CatalogSetup s;
  s.name = "AU_PLA";
  s.table = "AUTO_PLA";
  s.tag = "AUTO_PLA";
  s.key_width = 4;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!!!"}, {"Nombre", "NOMBRE", std::string(40, '!')}};
  // The actions record who authorised them by this code.
  s.duplicate_on_add = s.duplicate_on_modify = "Este Código ya existe...";
  s.delete_question = "¿Desea borrar este item?";
  s.edit_template = "M_AU_PLA";
  return s;
}

void AUTO_PLA::OpenEdit(int mode) {
  OpenCatalogEditor<M_AU_PLA>(*this, "M_AU_PLA", mode);
}

}  // namespace qz
