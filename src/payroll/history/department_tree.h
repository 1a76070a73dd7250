// The tree of a history screen: the business's active departments
// (INACTIVO = 0), optionally of one payroll type, in the order the payroll
// parameters ask for (ORDEN_TREE = 1: by description, else by code).
#pragma once

#include <optional>
#include <string>

#include "lib/ui/tree.h"

namespace xb {
class Table;
}

namespace qz {

// Whether the business's parameters order department trees by description.
bool TreeByDescription(xb::Table& f_plan, const std::string& negocio);

// The fill of `tree` (TreeModel::SetFill; Refresh clears it first): one leaf per active department under "Departamentos"
// (the code as cargo and right-hand text); `tipo`, padded as stored, keeps
// only that payroll type's departments.
void FillActiveDepartments(TreeModel& tree, xb::Table& enc_dept, const std::string& negocio,
                           bool by_description, const std::optional<std::string>& tipo);

}  // namespace qz
