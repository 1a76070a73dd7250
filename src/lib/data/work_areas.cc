#include "lib/data/work_areas.h"

namespace qz {

WorkAreas::~WorkAreas() {
  for (auto& [n, wa] : areas_)
    if (wa.table) wa.table->Close();
}

int WorkAreas::FreeArea() const {
  int n = 1;
  for (const auto& [area, wa] : areas_) {
    if (area != n) break;
    ++n;
  }
  return n <= limit_ ? n : 0;
}

WorkArea* WorkAreas::Get(int area) {
  auto it = areas_.find(area);
  return it == areas_.end() ? nullptr : &it->second;
}

xb::Table* WorkAreas::TableOf(int area) {
  WorkArea* wa = Get(area);
  return wa ? wa->table.get() : nullptr;
}

void WorkAreas::Put(int area, WorkArea wa) {
  areas_[area] = std::move(wa);
}

xb::Status WorkAreas::Close(int area) {
  auto t = Release(area);
  return t ? t->Close() : xb::Status::OK();
}

std::unique_ptr<xb::Table> WorkAreas::Release(int area) {
  auto it = areas_.find(area);
  if (it == areas_.end()) return nullptr;
  auto t = std::move(it->second.table);
  areas_.erase(it);
  return t;
}

int WorkAreas::Select(int area) {
  int previous = selected_;
  selected_ = area;
  return previous;
}

// Areas() and ResetWorkAreas() live in settings/globals.cc, next to the
// settings, so that at process exit the tables close before the areas go.

}  // namespace qz
