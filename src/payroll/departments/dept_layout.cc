#include "payroll/departments/dept_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qz::dept {

const char* SectionCode(int section) {
  static const char* const kCodes[kSections] = {"01", "02", "03"};
  return kCodes[section];
}

void DeptLayout::LoadColumn(int s, LayoutColumn c, int orden) {
  const bool in_set = !c.set.empty();
  sections_[s].columns.push_back(c);
  if (!in_set) loading_[s].push_back({orden, OrderItem{false, c.row, ""}});
}

void DeptLayout::LoadSet(int s, ColumnSet set, int orden) {
  loading_[s].push_back({orden, OrderItem{true, 0, set.code}});
  sections_[s].sets.push_back(std::move(set));
}

void DeptLayout::FinishLoading() {
  for (int s = 0; s < kSections; ++s) {
    auto& l = loading_[s];
    std::stable_sort(l.begin(), l.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [orden, item] : l) sections_[s].order.push_back(item);
    l.clear();
    // A member whose set row is missing would be invisible: it is listed by
    // itself instead.
    for (auto& c : sections_[s].columns)
      if (!c.set.empty() && !FindSet(s, c.set)) {
        c.set.clear();
        sections_[s].order.push_back({false, c.row, ""});
      }
  }
}

int DeptLayout::NextRow() const {
  int top = 0;
  for (const auto& sec : sections_)
    for (const auto& c : sec.columns) top = std::max(top, c.row);
  for (const auto& c : removed_) top = std::max(top, c.row);
  return top + 1;
}

bool DeptLayout::Contains(const std::string& column) const {
  for (const auto& sec : sections_)
    for (const auto& c : sec.columns)
      if (c.column == column) return true;
  return false;
}

bool DeptLayout::Insert(int s, const std::string& column, bool separator) {
  if (!separator && Contains(column)) return false;
  LayoutColumn c;
  auto back = std::find_if(removed_.begin(), removed_.end(),
                           [&](const LayoutColumn& r) { return r.column == column; });
  if (back != removed_.end()) {
    c = *back;
    removed_.erase(back);
    c.set.clear();
  } else {
    c.column = column;
    c.row = NextRow();
    c.separator = separator;
  }
  sections_[s].columns.push_back(c);
  sections_[s].order.push_back({false, c.row, ""});
  return true;
}

void DeptLayout::Remove(int s, int row) {
  auto& cols = sections_[s].columns;
  auto it = std::find_if(cols.begin(), cols.end(), [&](const auto& c) { return c.row == row; });
  if (it == cols.end()) return;
  if (it->recno != 0) removed_.push_back(*it);
  cols.erase(it);
  auto& order = sections_[s].order;
  std::erase(order, OrderItem{false, row, ""});
}

int DeptLayout::MoveUp(int s, int index) {
  auto& order = sections_[s].order;
  if (index <= 0 || index >= static_cast<int>(order.size())) return index;
  std::swap(order[index], order[index - 1]);
  return index - 1;
}

int DeptLayout::MoveDown(int s, int index) {
  auto& order = sections_[s].order;
  if (index < 0 || index + 1 >= static_cast<int>(order.size())) return index;
  std::swap(order[index], order[index + 1]);
  return index + 1;
}

std::string DeptLayout::AddSet(int s, const std::string& descrip, const std::string& picture,
                               const std::string& total) {
  int top = 0;
  for (const auto& sec : sections_)
    for (const auto& set : sec.sets) top = std::max(top, std::atoi(set.code.c_str()));
  char code[8];
  std::snprintf(code, sizeof code, "%2d", (top + 1) % 100);
  ColumnSet set{code, descrip, picture, total, 0};
  sections_[s].sets.push_back(set);
  sections_[s].order.push_back({true, 0, set.code});
  return set.code;
}

ColumnSet* DeptLayout::FindSet(int s, const std::string& code) {
  for (auto& set : sections_[s].sets)
    if (set.code == code) return &set;
  return nullptr;
}

void DeptLayout::DeleteSet(int s, const std::string& code) {
  auto& sec = sections_[s];
  auto it = std::find_if(sec.sets.begin(), sec.sets.end(),
                         [&](const ColumnSet& set) { return set.code == code; });
  if (it == sec.sets.end()) return;
  if (it->recno != 0) removed_sets_.push_back(it->recno);
  sec.sets.erase(it);
  // The set's place in the order list goes to its columns.
  auto pos = std::find(sec.order.begin(), sec.order.end(), OrderItem{true, 0, code});
  std::vector<OrderItem> members;
  for (auto& c : sec.columns)
    if (c.set == code) {
      c.set.clear();
      members.push_back({false, c.row, ""});
    }
  if (pos == sec.order.end()) {
    sec.order.insert(sec.order.end(), members.begin(), members.end());
  } else {
    pos = sec.order.erase(pos);
    sec.order.insert(pos, members.begin(), members.end());
  }
}

bool DeptLayout::IntoSet(int s, int row, const std::string& code) {
  auto& sec = sections_[s];
  if (!FindSet(s, code)) return false;
  for (auto& c : sec.columns)
    if (c.row == row && c.set.empty()) {
      c.set = code;
      std::erase(sec.order, OrderItem{false, row, ""});
      // Members keep the order they joined in: the member list is the
      // column list filtered, so the joining column goes last.
      LayoutColumn moved = c;
      std::erase_if(sec.columns, [&](const LayoutColumn& x) { return x.row == row; });
      sec.columns.push_back(moved);
      return true;
    }
  return false;
}

bool DeptLayout::OutOfSet(int s, int row) {
  auto& sec = sections_[s];
  for (auto& c : sec.columns)
    if (c.row == row && !c.set.empty()) {
      c.set.clear();
      sec.order.push_back({false, row, ""});
      return true;
    }
  return false;
}

std::vector<const LayoutColumn*> DeptLayout::Members(int s, const std::string& code) const {
  std::vector<const LayoutColumn*> out;
  for (const auto& c : sections_[s].columns)
    if (c.set == code) out.push_back(&c);
  return out;
}

std::vector<const LayoutColumn*> DeptLayout::PrintOrder(int s) const {
  std::vector<const LayoutColumn*> out;
  for (const OrderItem& item : sections_[s].order) {
    if (item.is_set) {
      for (const LayoutColumn* m : Members(s, item.set)) out.push_back(m);
    } else {
      for (const auto& c : sections_[s].columns)
        if (c.row == item.row) out.push_back(&c);
    }
  }
  return out;
}

LayoutColumn* DeptLayout::FindRow(int row) {
  for (auto& sec : sections_)
    for (auto& c : sec.columns)
      if (c.row == row) return &c;
  return nullptr;
}

std::optional<std::pair<int, std::string>> DeptLayout::EmptySet() const {
  for (int s = 0; s < kSections; ++s)
    for (const auto& set : sections_[s].sets)
      if (Members(s, set.code).empty()) return std::make_pair(s, set.code);
  return std::nullopt;
}

int DeptLayout::OrdenOf(int s, const LayoutColumn& c) const {
  if (!c.set.empty()) return 0;
  const auto& order = sections_[s].order;
  auto it = std::find(order.begin(), order.end(), OrderItem{false, c.row, ""});
  return it == order.end() ? 0 : static_cast<int>(it - order.begin()) + 1;
}

int DeptLayout::OrdenOf(int s, const ColumnSet& set) const {
  const auto& order = sections_[s].order;
  auto it = std::find(order.begin(), order.end(), OrderItem{true, 0, set.code});
  return it == order.end() ? 0 : static_cast<int>(it - order.begin()) + 1;
}

}  // namespace qz::dept
