// The "Editar" entries registered for each screen's menu id: caption, right
// id and the screen operation the entry runs. MENUSET reads this table.
#pragma once

#include <string>
#include <vector>

namespace qz {

struct EditMenuItem {
  const char* caption;
  int right;
  const char* operation;
};

// The entries of menu id `menu_id`; empty when it has none.
std::vector<EditMenuItem> EditMenuItems(int menu_id);

inline constexpr const char* kNoOperations = "No hay operaciones asociadas";

}  // namespace qz
