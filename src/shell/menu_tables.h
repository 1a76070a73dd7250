// The menus of the program as data: the common "&Archivo" popup of the suite
// and this program's "Servicios Adicionales" and "Otros Servicios", in
// order, each entry with its right id and the screen it opens.
#pragma once

#include <string>
#include <vector>

namespace qz {

struct MenuDef {
  const char* caption;       // "" with no items = separator
  int right = 0;             // right and command id; 0 = none
  const char* screen = "";   // screen opened (MenuRegistry name); "" = no action
  const char* tmpl = "";     // template the screen is created with
  bool no_business = false;  // the screen is not given the toolbar's business
  std::vector<MenuDef> items = {};
};

// "&Archivo": "Mantenimientos" ▸ ... and "Salir" (built by the main window).
const std::vector<MenuDef>& MaintenanceMenu();
// "Servicios Adicionales" and "Otros Servicios".
const std::vector<MenuDef>& ProgramPopups();

// The right id of this program's screen `screen` (0 when it has none).
int RightOfScreen(const std::string& screen);

// The menu entry that opens `screen` (its caption, right and template), or
// null when no menu opens it.
const MenuDef* FindScreenMenu(const std::string& screen);

}  // namespace qz
