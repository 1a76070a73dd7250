#include "payroll/usr_req.h"

#include "lib/ui/catalog_edit_window.h"
#include "payroll/e_usrreq.h"

namespace qz {

USR_REQ::USR_REQ(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup USR_REQ::Setup() {
  CatalogSetup s;
  s.name = "USR_REQ";
  s.table = "USR_REQ";
  s.tag = "USR_REQ";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "XX"}, {"Nombre", "NOMBRE", std::string(40, 'X')}};
  s.duplicate_on_add = "Código  ya definido...";
  s.duplicate_on_modify = "Código ya definido...";
  s.delete_question = "¿Desea borrar el item seleccionado?";
  return s;
}

void USR_REQ::OpenEdit(int mode) {
  OpenCatalogEditor<E_USRREQ>(*this, "AGREGAR_USR_REQ", mode);
}

}  // namespace qz
