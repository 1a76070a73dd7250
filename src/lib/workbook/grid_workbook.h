// A grid dumped into a workbook ("Exportar a DBF", opened from a grid's
// context menu): one column per grid column with its heading boxed, the rows
// from the grid's current row to its end as the grid shows them, numbers in
// right-aligned columns typed as numbers, dates kept as the text shown.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lib/ui/browse.h"

namespace qz {

struct GridExportProgress {
  std::function<void(int rows)> rows;                 // "Filas Exportadas:"
  std::function<void(const std::string&)> state;      // "Estado:"
};

// Writes the grid into folder + name (the name "GRID_" + window title when
// `name` is empty) and returns the saved path, or "" when it could not be
// saved (the user has been told why). Opens it afterwards when `open`.
std::string ExportGridToWorkbook(const WBLISTBOX& grid, const std::string& window_title,
                                 const std::string& folder, const std::string& name, bool open,
                                 const GridExportProgress& progress = {});

// DBF_OB: the export window for `grid`. "Exportar y mostrar en Excel" (1)
// saves, opens the workbook and closes the window; "Exportar && enviar
// email" (3) saves and returns the path (for the mail sender) without
// opening it; "Salir" (2) returns "".
std::string DBF_OB(WBLISTBOX& grid);

// "Exportar a DBF" as the user chooses it: DBF_OB, and a workbook saved
// with "Exportar && enviar email" handed to the mail sender (LEE_EMAIL, then
// queued or sent) for the session's business. True when a workbook was
// mailed.
bool ExportGridAndMail(WBLISTBOX& grid);

// The context menu of every grid, as the window systems show it on a right
// click: the workbook export ("Exportar a DBF").
struct GridMenuEntry {
  std::string caption;
  std::function<void()> action;
};
inline constexpr const char* kGridExportCaption = "Exportar a DBF";
std::vector<GridMenuEntry> GridContextMenu(WBLISTBOX& grid);

}  // namespace qz
