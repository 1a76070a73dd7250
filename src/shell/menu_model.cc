#include "shell/menu_model.h"

#include "lib/settings/globals.h"

namespace qz {
namespace {

const MenuEntry* FindIn(const std::vector<MenuEntry>& items, int id) {
  for (const auto& e : items) {
    if (!e.popup() && !e.separator() && e.id == id) return &e;
    if (const MenuEntry* f = FindIn(e.items, id)) return f;
  }
  return nullptr;
}

void Collect(const std::vector<MenuEntry>& items, std::vector<const MenuEntry*>* out) {
  for (const auto& e : items) {
    if (e.popup()) {
      Collect(e.items, out);
    } else if (!e.separator()) {
      out->push_back(&e);
    }
  }
}

}  // namespace

std::string PlainCaption(const std::string& caption) {
  std::string out;
  for (char c : caption)
    if (c != '&') out += c;
  return RTrim(out);
}

const MenuEntry* MenuBar::Find(int id) const {
  return FindIn(popups, id);
}

const MenuEntry* MenuBar::FindPath(const std::vector<std::string>& captions) const {
  const std::vector<MenuEntry>* level = &popups;
  const MenuEntry* found = nullptr;
  for (const auto& want : captions) {
    found = nullptr;
    for (const auto& e : *level) {
      if (!e.separator() && PlainCaption(e.caption) == PlainCaption(want)) {
        found = &e;
        break;
      }
    }
    if (!found) return nullptr;
    level = &found->items;
  }
  return found;
}

std::vector<const MenuEntry*> MenuBar::Commands() const {
  std::vector<const MenuEntry*> out;
  Collect(popups, &out);
  return out;
}

}  // namespace qz
