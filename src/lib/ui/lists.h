// CLISTBOX (multi-selection list) and CCOMBOBOX (drop-down list): thin
// handles on a list or combo control of a window. Each entry has a text for
// the user and a cargo, the code the screen stores.
#pragma once

#include <optional>
#include <string>

#include "lib/ui/wdiag.h"

namespace qz {

class CLISTBOX {
 public:
  CLISTBOX(WDIAG& owner, int id) : owner_(owner), id_(id) {}
  void ADD(const std::string& text, const std::string& cargo);
  void CLEAR() { owner_.ClearEntries(id_); }
  // Selects the entry with `cargo`; false when there is none.
  bool SELECTCARGO(const std::string& cargo, bool on = true);
  bool ISSELECTED(const std::string& cargo) const;
  int COUNT() const;

 private:
  WDIAG& owner_;
  int id_;
};

class CCOMBOBOX {
 public:
  CCOMBOBOX(WDIAG& owner, int id) : owner_(owner), id_(id) {}
  void ADD(const std::string& text, const std::string& cargo);
  void CLEAR() { owner_.ClearEntries(id_); }
  // Selects the entry with `cargo`; false (and nothing selected) when none.
  bool SEEKCARGO(const std::string& cargo);
  // The selected entry's cargo, or nothing.
  std::optional<std::string> CURCARGO() const;
  int COUNT() const;

 private:
  WDIAG& owner_;
  int id_;
};

}  // namespace qz
