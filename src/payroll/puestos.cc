#include "payroll/puestos.h"

#include "payroll/e_puesto.h"

namespace qz {

PUESTOS::PUESTOS(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup PUESTOS::Setup() {
  CatalogSetup s;
  s.name = "PUESTOS";
  s.table = "PUESTOS";
  s.tag = "PUESTOS";
  s.key_width = 4;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!!!"}, {"Descripción", "DESCRIP", std::string(40, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de puesto ya definido...";
  s.delete_question = "Desea borrar el puesto?";
  s.edit_template = "MODIPUESTO";
  s.references = {{"ENC_PERS", "ENC_PERS16", "PUESTO"}};
  return s;
}

void PUESTOS::OpenEdit(int mode) {
  OpenCatalogEditor<E_PUESTO>(*this, "MODIPUESTO", mode);
}

}  // namespace qz
