// The xBase work areas: numbered slots, each holding at most one open table
// under an alias, and the selected one that the lock, append and release
// operations act upon. Tables belong to their area, not to the table object
// that opened them, because a table closed inside a server transaction stays
// open in its area (the file bag) after its object is gone.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "xbase/table.h"

namespace qz {

struct WorkArea {
  std::unique_ptr<xb::Table> table;
  std::string alias;
  std::string name;  // file name without folders, upper case
  std::string rdd;
  bool temporary = false;
};

class WorkAreas {
 public:
  static constexpr int kMaxAreas = 5000;  // one word-index slot per area

  ~WorkAreas();
  // The lowest free area number, or 0 when every area is in use.
  int FreeArea() const;
  WorkArea* Get(int area);
  xb::Table* TableOf(int area);  // null when the area is free
  // Puts `wa` into `area` (which must be free).
  void Put(int area, WorkArea wa);
  // Closes the area's table (writing pending changes) and frees the area.
  xb::Status Close(int area);
  // Takes the area's table out without closing it and frees the area.
  std::unique_ptr<xb::Table> Release(int area);
  int Selected() const { return selected_; }
  // Selects `area`; returns the area selected before.
  int Select(int area);
  xb::Table* SelectedTable() { return TableOf(selected_); }
  int Count() const { return static_cast<int>(areas_.size()); }
  // Every open area, in number order.
  const std::map<int, WorkArea>& All() const { return areas_; }
  void SetLimitForTesting(int n) { limit_ = n; }

 private:
  std::map<int, WorkArea> areas_;
  int selected_ = 1;
  int limit_ = kMaxAreas;
};

WorkAreas& Areas();
void ResetWorkAreas();

// Selects an area for the life of a scope, then restores the previous one.
class AreaSelection {
 public:
  explicit AreaSelection(int area) : previous_(Areas().Select(area)) {}
  ~AreaSelection() { Areas().Select(previous_); }
  AreaSelection(const AreaSelection&) = delete;
  AreaSelection& operator=(const AreaSelection&) = delete;

 private:
  int previous_;
};

}  // namespace qz
