#include "payroll/tipo_pla.h"

#include "lib/ui/message_box.h"
#include "payroll/e_tippla.h"

namespace qz {

TIPO_PLA::TIPO_PLA(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup TIPO_PLA::Setup() {
  CatalogSetup s;
  s.name = "TIPO_PLA";
  s.table = "TIP_PLA";
  s.tag = "TIP_PLA";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Cod", "CODIGO", "!!"}, {"Descrpción", "DESCRIP", std::string(37, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "Código de  ya definido...";
  s.delete_question = "Desea borrar el tipo?";
  s.edit_template = "E_TIPPLA";
  // A changed code moves the departments of the type with it.
  s.references = {{"ENC_DEPT", "ENC_DEPT2", "TIPO"}};
  return s;
}

void TIPO_PLA::Add() {
  OpenEditor(0);
}

void TIPO_PLA::Modify() {
  if (!HasCurrentRow()) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  OpenEditor(1);
}

void TIPO_PLA::OpenEditor(int mode) {
  auto editor = std::make_unique<E_TIPPLA>(*this, "E_TIPPLA", mode, SelectedRecNo(),
                                           main_table(), Negocio());
  E_TIPPLA* raw = editor.get();
  desktop().Adopt(std::move(editor));
  if (!raw->Init()) raw->ENDDIALOG(2);
}

}  // namespace qz
