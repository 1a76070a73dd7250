#include "payroll/d_li_emp.h"

#include "lib/ui/catalog_edit_window.h"
#include "payroll/m_li_emp.h"

namespace qz {

D_LI_EMP::D_LI_EMP(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup D_LI_EMP::Setup() {
  CatalogSetup s;
  s.name = "PRE_EMP";  // the operations the "Editar" entries name
  s.table = "ENC_EMP";
  s.tag = "ENC_EMP";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "XX"}, {"Descripción", "DESCRIP", std::string(41, 'X')}};
  s.duplicate_on_add = s.duplicate_on_modify = "El código ya fue registrado";
  s.delete_question = "Esta seguro que desea eliminar el Item?";
  // The items belong to their format: they follow its code and go with it.
  s.details = {{"DET_EMP", "DET_EMP", "CODIGO"}};
  return s;
}

void D_LI_EMP::OpenEdit(int mode) {
  OpenCatalogEditor<M_LI_EMP>(*this, "M_LI_EMP", mode);
}

}  // namespace qz
