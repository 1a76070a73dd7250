#include "payroll/department_tree.h"

#include "lib/payroll/days_worked.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"
#include "payroll/processes/process_screen.h"
#include "xbase/codepage.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

TreeParameters ReadTreeParameters(xb::Table* f_plan, const std::string& negocio) {
  TreeParameters p;
  if (!f_plan || !Lookup(*f_plan, "F_PLAN", negocio)) return p;
  p.by_description = Number(*f_plan, "ORDEN_TREE") == 1;
  // A blank or zero setting means the installation never set it.
  if (const int margin = static_cast<int>(Number(*f_plan, "DESC_TREE")); margin > 0)
    p.margin = margin;
  if (std::string pic = TrimRight(Bytes(*f_plan, "PICT_TREE")); !pic.empty()) p.picture = pic;
  return p;
}

std::string TreeCodeTag(const std::string& code_bytes, const std::string& picture) {
  std::string bytes = code_bytes;
  std::string mask = picture;
  if (!mask.empty() && mask[0] == '@') {
    // "@!" and friends: functions up to the first blank, a template after it.
    const size_t blank = mask.find(' ');
    const std::string functions =
        mask.substr(1, blank == std::string::npos ? std::string::npos : blank - 1);
    if (functions.find('!') != std::string::npos) bytes = UpperCp1252(bytes);
    mask = blank == std::string::npos ? std::string() : mask.substr(blank + 1);
  }
  std::string shown =
      mask.empty() ? xb::ToUtf8(bytes) : FormatWithPicture(xb::Value::Char(bytes), mask);
  return TrimRight(shown);
}

DepartmentTreeRule DepartmentTreeRule::EveryDepartmentByCaption() {
  DepartmentTreeRule r;
  r.order = Order::kCaption;
  r.active_only = false;
  r.picture = kDefaultTreePicture;
  r.margin = kDefaultTreeMargin;
  return r;
}

DepartmentTreeRule DepartmentTreeRule::IncludingInactive() {
  DepartmentTreeRule r;
  r.active_only = false;
  return r;
}

void FillDepartmentTree(TreeModel& tree, xb::Table& enc_dept, const std::string& negocio,
                        const TreeParameters& parameters, const DepartmentTreeRule& rule,
                        const std::function<void(xb::Table&)>& each_row) {
  using Order = DepartmentTreeRule::Order;
  const std::string picture = rule.picture.value_or(parameters.picture);
  tree.SetTagMargin(rule.margin.value_or(parameters.margin));
  TreeNode* root = tree.Add(nullptr, "Departamentos", "");
  std::optional<std::string> tipo;
  if (rule.tipo) {
    tipo = rule.tipo();
    if (!tipo) return;  // no payroll type chosen yet: no department either
  }
  const bool by_description = rule.order == Order::kDescription ||
                              (rule.order == Order::kParameters && parameters.by_description);
  // Of one type: NEGOCIO+TIPO+DESCRIP / NEGOCIO+TIPO+CODIGO; of all:
  // NEGOCIO+DESCRIP / NEGOCIO+CODIGO.
  const char* tag = tipo ? (by_description ? "ENC_DEPT4" : "ENC_DEPT2")
                         : (by_description ? "ENC_DEPT3" : "ENC_DEPT");
  ForEachRow(enc_dept, tag, negocio + tipo.value_or(""), [&](xb::Table& t) {
    if (each_row) each_row(t);
    if (rule.active_only && Number(t, "INACTIVO") != 0) return;
    const std::string code = Bytes(t, "CODIGO");
    tree.Add(root, FieldText(t, "DESCRIP"), code, TreeCodeTag(code, picture));
  });
  if (rule.order == Order::kCaption) tree.Sort();
  tree.ExpandAll();
}

void SetDepartmentFill(TreeModel& tree, xb::Table& enc_dept, xb::Table* f_plan,
                       const std::string& negocio, DepartmentTreeRule rule,
                       std::function<void(xb::Table&)> each_row) {
  tree.SetFill([&enc_dept, f_plan, negocio, rule = std::move(rule),
                each_row = std::move(each_row)](TreeModel& t) {
    FillDepartmentTree(t, enc_dept, negocio, ReadTreeParameters(f_plan, negocio), rule, each_row);
  });
}

}  // namespace qz
