// The main window's menu as the users screen designs rights on it: the
// check marks are MENU_CHK, the capture mode is switched by messages 1030
// and 1031, and the ids are those of the menu bar as built now.
#include "shell/principal.h"
#include "shell/user_admin.h"

namespace qz {
namespace {

class CaptureMenu : public RightsMenu {
 public:
  explicit CaptureMenu(PRINCIPAL& main) : main_(main) {}
  bool Checked(int id) const override { return main_.rights().GET_CHECKS(id); }
  void SetChecked(int id, bool on) override { main_.rights().SetCheck(id, on); }
  std::vector<int> ShownIds() const override {
    std::vector<int> ids;
    for (const MenuEntry* e : main_.menu_bar().Commands())
      if (e->id >= kFirstRight && e->id <= kLastRight) ids.push_back(e->id);
    return ids;
  }
  void SetCapture(bool on) override {
    if (main_.Captura == on) return;
    main_.SendMessage(on ? kMsgCaptureOn : kMsgCaptureOff, kCaptureMarker);
  }
  void ChecksChanged() override { main_.RebuildMenu(); }

 private:
  PRINCIPAL& main_;
};

}  // namespace

std::unique_ptr<RightsMenu> MakeCaptureMenu(PRINCIPAL& main) {
  return std::make_unique<CaptureMenu>(main);
}

}  // namespace qz
