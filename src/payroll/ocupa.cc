#include "payroll/ocupa.h"

namespace qz {

OCUPA::OCUPA(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup OCUPA::Setup() {
  CatalogSetup s;
  s.name = "OCUPA";
  s.table = "T_OCUPA";
  s.tag = "T_OCUPA";
  s.key_width = 15;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!!!!"}, {"Descripción", "DESCRIP", std::string(40, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de ocupación ya definido...";
  s.delete_question = "Desea borrar la ocupación?";
  s.edit_template = "MODIOCUPA";
  s.edit_fields = {"CODIGO", "DESCRIP", "XCODIGO"};
  // A changed occupation code shows the waiting window but nothing refers to
  // it yet.
  s.references = {};
  return s;
}

}  // namespace qz
