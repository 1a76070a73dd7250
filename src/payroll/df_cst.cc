#include "payroll/df_cst.h"

#include "lib/ui/catalog_edit_window.h"
#include "payroll/e_cst.h"

namespace qz {

DF_CST::DF_CST(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup DF_CST::Setup() {
  CatalogSetup s;
  s.name = "DF_CST";
  s.table = "F_CONST";
  s.tag = "F_CONST";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Cod", "CODIGO", "!!"}, {"Descrpción", "DESCRIP", std::string(37, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código ya utilizado por otro formato";
  s.delete_question = "¿Desea borrar el tipo?";
  return s;
}

void DF_CST::OpenEdit(int mode) {
  OpenCatalogEditor<E_CST>(*this, "E_CST", mode);
}

}  // namespace qz
