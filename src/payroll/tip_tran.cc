#include "payroll/tip_tran.h"

#include "payroll/e_transf.h"

namespace qz {

TIP_TRAN::TIP_TRAN(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup TIP_TRAN::Setup() {
  CatalogSetup s;
  s.name = "TIP_TRAN";
  s.table = "TIP_TRAN";
  s.tag = "TIP_TRAN";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Cod", "CODIGO", "!!"}, {"Descrpción", "DESCRIP", std::string(37, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de tipo ya definido...";
  s.delete_question = "Desea borrar el tipo?";
  s.edit_template = "E_TIP_TRA";
  s.references = {{"ENC_PERS", "ENC_PERS6", "TIP_TRANSF"}};
  return s;
}

void TIP_TRAN::OpenEdit(int mode) {
  OpenEditWindow<E_TRANSF>(*this, "E_TIP_TRA", Negocio(), mode);
}

}  // namespace qz
