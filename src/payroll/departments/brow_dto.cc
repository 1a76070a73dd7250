#include "payroll/departments/brow_dto.h"

#include "lib/ui/catalog_edit_window.h"
#include "lib/ui/message_box.h"
#include "payroll/departments/def_dto.h"

namespace qz {

BROW_DTO::BROW_DTO(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup BROW_DTO::Setup() {
  CatalogSetup s;
  s.name = "DEPTO";
  s.table = "ENC_DEPT";
  s.tag = "ENC_DEPT";
  s.key_width = 15;
  s.menu_id = kMenuId;
  s.columns = {{"Código    ", "CODIGO", std::string(15, '!')},
               {"Descrpción", "DESCRIP", std::string(37, '!')}};
  s.duplicate_on_add = s.duplicate_on_modify = "El código ya existe";
  s.delete_question = "Desea borrar el departamento?";
  // Rows that belong to a department and go with it.
  s.details = {{"DET_DEPT", "DET_DEPT", "DEPTO"},
               {"DET_DEP2", "DET_DEP2", "DEPTO"},
               {"CONJ_COL", "CONJ_COL", "DEPTO"},
               {"DET_DEP3", "DET_DEP3A", "DEPTO"}};
  return s;
}

void BROW_DTO::ConfigBrow() {
  CatalogScreen::ConfigBrow();
  ADD(kTodos, [this] { Filter(0); });
  ADD(kActivos, [this] { Filter(1); });
  ADD(kInactivos, [this] { Filter(2); });
  SetCheck(kTodos, 1);
  Filter(0);
}

void BROW_DTO::Filter(int which) {
  filter_ = which;
  // The active and inactive lists run on the tags that start with the
  // inactive flag, scoped to the business and the flag.
  const bool all = which == 0;
  const std::string scope = all ? Negocio() : Negocio() + (which == 1 ? "0" : "1");
  xb::Status st = all ? BROWMARKS(*oB(), {{1, "ENC_DEPT"}, {2, "ENC_DEPT3"}}, 1, scope)
                      : BROWMARKS(*oB(), {{1, "ENC_DEPT5"}, {2, "ENC_DEPT6"}}, 1, scope);
  if (!st.ok()) MESSAGE_BOX("No se pudo leer ENC_DEPT\r\n" + st.message(), "Alerta", kMbIconStop);
}

void BROW_DTO::OpenEdit(int mode) {
  if (mode == 1 && !HasCurrentRow()) {
    NoRowToModify();
    return;
  }
  auto editor = std::make_unique<DEF_DTO>(*this, "DEF_DEPTO", Negocio(), mode,
                                          mode == 1 ? SelectedRecNo() : 0);
  DEF_DTO* raw = editor.get();
  desktop().Adopt(std::move(editor));
  if (!raw->Init()) raw->ENDDIALOG(2);
}

void BROW_DTO::Delete() {
  // The department with its layout, provisions and split; its employees
  // stay (they keep their department code).
  CatalogScreen::Delete();
}

bool BROW_DTO::DoOperation(const std::string& name) {
  if (name == "DUP_DEPTO") return true;  // duplication is not offered yet
  return CatalogScreen::DoOperation(name);
}

}  // namespace qz
