#include "payroll/history/department_tree.h"

#include "lib/ui/catalog_data.h"
#include "payroll/processes/process_screen.h"
#include "xbase/value.h"

namespace qz {

bool TreeByDescription(xb::Table& f_plan, const std::string& negocio) {
  return SeekPrefix(f_plan, "F_PLAN", negocio) && Number(f_plan, "ORDEN_TREE") == 1;
}

void FillActiveDepartments(TreeModel& tree, xb::Table& enc_dept, const std::string& negocio,
                           bool by_description, const std::optional<std::string>& tipo) {
  TreeNode* root = tree.Add(nullptr, "Departamentos", "");
  // Of one type: NEGOCIO+TIPO+DESCRIP / NEGOCIO+TIPO+CODIGO; of all:
  // NEGOCIO+DESCRIP / NEGOCIO+CODIGO.
  const char* tag = tipo ? (by_description ? "ENC_DEPT4" : "ENC_DEPT2")
                         : (by_description ? "ENC_DEPT3" : "ENC_DEPT");
  ForEachRow(enc_dept, tag, negocio + tipo.value_or(""), [&](xb::Table& t) {
    if (Number(t, "INACTIVO") != 0) return;
    const std::string code = Bytes(t, "CODIGO");
    tree.Add(root, FieldText(t, "DESCRIP"), code, TrimRight(FromField(xb::Value::Char(code))));
  });
  tree.ExpandAll();
}

}  // namespace qz
