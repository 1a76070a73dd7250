#include "lib/ui/cell_click.h"

#include <map>

namespace qz {
namespace {

std::map<const WBLISTBOX*, std::map<int, std::function<void()>>>& Actions() {
  static std::map<const WBLISTBOX*, std::map<int, std::function<void()>>> actions;
  return actions;
}

}  // namespace

void SetCellClick(WBLISTBOX& grid, int col, std::function<void()> action) {
  Actions()[&grid][col] = std::move(action);
}

void ClearCellClicks(const WBLISTBOX& grid) {
  Actions().erase(&grid);
}

bool ClickCell(WBLISTBOX& grid, int row, int col) {
  if (!grid.Select(row).ok()) return false;
  auto it = Actions().find(&grid);
  if (it == Actions().end()) return false;
  auto action = it->second.find(col);
  if (action == it->second.end()) return false;
  // A copy: the action may close the screen and its grid.
  std::function<void()> run = action->second;
  run();
  grid.REFRESHALL();
  return true;
}

}  // namespace qz
