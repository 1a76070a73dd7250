#include "payroll/actions/acc_pers.h"

namespace qz {

ACC_PERS::ACC_PERS(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<MOD_ACCI>(desktop, template_name, business, Setup()) {}

CatalogSetup ACC_PERS::Setup() {
  CatalogSetup s;
  s.name = "ACC_PERS";
  s.table = "TIP_ACC2";
  s.tag = "TIP_ACC2";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!"}, {"Descripción", "DESCRIP", std::string(40, '!')}};
  s.duplicate_on_add = "Este Código de Acción ya existe...";
  s.duplicate_on_modify = "Este Código  ya existe...";
  s.delete_question = "Desea borrar el Tipo de Accion?";
  s.edit_template = "MOD_ACCI";
  s.references = {{"ACCIONES", "ACCIONES2", "TIPO"}};
  s.wait_text = "Un momento por favor(Recodificando)...";
  return s;
}

}  // namespace qz
