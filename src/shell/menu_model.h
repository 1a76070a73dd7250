// The main window's menu bar as plain values: popups of entries, each with
// its caption, command id, grey and check states and action. The window
// systems show it (Qt: a QMenuBar); tests read it and choose entries by id
// or caption path.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qz {

struct MenuEntry {
  std::string caption;           // UTF-8; "" with no items = a separator
  int id = 0;                    // command id (also the right id for 2000-7000)
  int right = 0;                 // right id that gates it; 0 = none
  bool denied = false;           // the user lacks the right (GET_RIGHTS)
  bool available = true;         // the screen it opens exists in this build
  bool busy = false;             // its screen waits for an edit window or a dialog
  bool checked = false;          // rights-capture check mark (GET_CHECKS)
  std::function<void()> action;  // empty: an entry without action
  std::vector<MenuEntry> items;  // a popup's entries

  bool popup() const { return !items.empty(); }
  bool separator() const { return caption.empty() && items.empty(); }
  // Shown greyed: no right, not built yet, or nothing to run.
  bool greyed() const { return denied || !available || busy || (!popup() && !action); }
};

struct MenuBar {
  std::vector<MenuEntry> popups;

  // The entry with command id `id` anywhere in the bar; null when none.
  const MenuEntry* Find(int id) const;
  // The entry reached through captions ("&Archivo", "Mantenimientos", ...);
  // '&' markers and trailing blanks are ignored.
  const MenuEntry* FindPath(const std::vector<std::string>& captions) const;
  // Every entry that carries a command (depth first, in menu order).
  std::vector<const MenuEntry*> Commands() const;
};

// A caption without its '&' accelerator markers.
std::string PlainCaption(const std::string& caption);

}  // namespace qz
