// Left clicks on grid cells: a screen gives a column of its grid an action
// (the process-control list flips a department's flag by clicking it), and
// the window system reports clicks through ClickCell. Kept beside the grid
// rather than in it, so grids without clickable cells know nothing of it.
#pragma once

#include <functional>

#include "lib/ui/browse.h"

namespace qz {

// A left click on a cell of column `col` (0-based) of `grid` runs `action`
// with the table on the clicked row.
void SetCellClick(WBLISTBOX& grid, int col, std::function<void()> action);
// Forgets the grid's actions (before the grid goes away).
void ClearCellClicks(const WBLISTBOX& grid);
// A left click: selects the row and, when the column has an action, runs it
// and shows the rows as they now are. False when the column has none.
bool ClickCell(WBLISTBOX& grid, int row, int col);

}  // namespace qz
