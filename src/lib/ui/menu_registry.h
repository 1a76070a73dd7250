// The registry of menu actions: which screens exist in this build, by the
// name the menu tables give them. A menu entry whose screen is registered
// runs it through DO_ACTION with its id; the others stay visible, greyed.
// Each feature layer registers its screens at start (RegisterPayrollScreens,
// RegisterAdminScreens, RegisterDeviceScreens), one file per group of screens.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace qz {

// Opens a screen for `business` (15 bytes) from template `tmpl`.
using ScreenOpener = std::function<void(const std::string& business, const std::string& tmpl)>;

class MenuRegistry {
 public:
  void Register(const std::string& screen, ScreenOpener opener) {
    openers_[screen] = std::move(opener);
  }
  const ScreenOpener* Find(const std::string& screen) const {
    auto it = openers_.find(screen);
    return it == openers_.end() ? nullptr : &it->second;
  }
  bool Has(const std::string& screen) const { return Find(screen) != nullptr; }

 private:
  std::map<std::string, ScreenOpener> openers_;
};

}  // namespace qz
