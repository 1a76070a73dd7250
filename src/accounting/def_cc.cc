#include "accounting/def_cc.h"

#include "accounting/all_or_nothing.h"

namespace qz {
namespace {

CatalogSetup Setup() {
  CatalogSetup s;
  s.name = "DEF_CC";
  s.table = "C_COSTOS";
  s.tag = "C_COSTOS";
  s.key_width = 15;
  s.menu_id = DEF_CC::kMenuId;
  s.columns = {{"Código", "CODIGO", std::string(15, '!')},
               {"Descripción", "DESCRIP", std::string(40, 'X')}};
  s.duplicate_on_add = DEF_CC::kCodeTaken;
  s.duplicate_on_modify = DEF_CC::kNewCodeTaken;
  s.delete_question = "Desea borrar el puesto?";
  s.edit_template = "E_CC";
  s.edit_fields = {"CODIGO", "DESCRIP", "PREFIJO"};
  // Each reached by a tag whose key begins with business + centre.
  s.references = {{"DET_DEP3", "DET_DEP3B", "COD_CENTRO"},
                  {"DET_PER3", "DET_PER3_D", "COD_CENTRO"},
                  {"D_COSTO", "D_COSTO2", "COD_CENTRO"}};
  s.wait_text = DEF_CC::kRecoding;
  return s;
}

}  // namespace

DEF_CC::DEF_CC(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

bool DEF_CC::SaveEdit(WDIAG& dlg, int mode) {
  return SaveAllOrNothing(*main_table(), mode == 1 ? Registro : 0,
                          [&] { return CatalogScreen::SaveEdit(dlg, mode); });
}

}  // namespace qz
