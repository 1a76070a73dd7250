#include "payroll/enc_repp.h"

#include "lib/ui/catalog_edit_window.h"
#include "payroll/crep_col.h"

namespace qz {

ENC_REPP::ENC_REPP(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup ENC_REPP::Setup() {
  CatalogSetup s;
  s.name = "ENC_REPP";
  s.table = "ENC_REPP";
  s.tag = "ENC_REPP";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!"}, {"DESCRIP", "DESCRIP", std::string(40, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de formato ya definido...";
  s.delete_question = "Desea borrar el formato de reporte";
  s.details = {{"DET_REPP", "DET_REPP", "CODIGO"}};
  return s;
}

void ENC_REPP::OpenEdit(int mode) {
  OpenCatalogEditor<CREP_COL>(*this, "CREP_COL", mode);
}

}  // namespace qz
