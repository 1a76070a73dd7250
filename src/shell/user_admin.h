// "Definición de Usuarios y Perfiles" (USUARIOS): the users of the business
// and their attributes, the rights profiles, the rights of each user and
// profile designed by ticking the real menu (capture mode), the business's
// password policy, the global access lock and the request file that asks
// the users of the suite to leave. The rights tree and the user report are
// in user_reports.h.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/wdiag.h"
#include "shell/rights_rows.h"

namespace qz {

// What the screen needs of the main window's menu while rights are
// designed: the check marks (MENU_CHK), the ids the menu bar shows now, and
// the capture mode in which a right click ticks an entry.
class RightsMenu {
 public:
  virtual ~RightsMenu() = default;
  virtual bool Checked(int id) const = 0;
  virtual void SetChecked(int id, bool on) = 0;
  // Right ids (2000-7000) of the entries of the menu bar as shown now.
  virtual std::vector<int> ShownIds() const = 0;
  virtual void SetCapture(bool on) = 0;
  // The marks changed: the menu shows them again.
  virtual void ChecksChanged() = 0;
};

class USUARIOS : public WDIAG {
 public:
  enum Control : int {
    kUsers = 700,
    kProfiles = 701,
    kAddUser = 201,
    kModUser = 202,
    kDelUser = 203,
    kAssignProfile = 204,
    kSaveUserDesign = 205,
    kAddProfile = 206,
    kModProfile = 207,
    kDelProfile = 208,
    kLoadProfileDesign = 209,
    kSaveProfileDesign = 210,
    kStartDesign = 211,
    kUntickMenu = 212,
    kTickMenu = 213,
    kLoadUserDesign = 214,
    kPolicy = 215,
    kRightsTree = 220,
    kUserReport = 221,
    kFreeAccess = 1001,
    kExitExceptSupervisors = 1002,
    kExitEverybody = 1003,
    kGlobalLock = 1004,
    kFirstArea = 1011,
    kLastArea = 1026,
  };
  static constexpr int kRight = 2000;

  // `menu` may be null (no main window: the capture buttons then only
  // work on the screen's own marks).
  USUARIOS(Desktop& desktop, std::string business, RightsMenu* menu);
  ~USUARIOS() override;

  // Opens the tables, fills the lists and the request choices and shows
  // the window; false (reported) when it cannot.
  bool Open();

  // --- the buttons
  void AddUser();
  void ModifyUser();
  void DeleteUser();
  void AddProfile();
  void ModifyProfile();
  void DeleteProfile();
  void AssignProfile();
  void LoadUserDesign();
  void LoadProfileDesign();
  void StartDesign();
  void TickShownEntries(bool on);
  void SaveUserDesign();
  void SaveProfileDesign();
  void PasswordPolicy();
  void ShowRightsTree();
  void PrintUserReport();
  // Any change of 1001-1003 or of an area box.
  void RequestChanged();
  void ToggleGlobalLock();

  WBLISTBOX* users_grid() const { return users_grid_.get(); }
  WBLISTBOX* profiles_grid() const { return profiles_grid_.get(); }
  const std::string& business() const { return business_; }
  // The owner whose design is loaded (Usuario / Have_Loaded).
  std::optional<int> loaded_user() const { return loaded_user_; }
  bool have_loaded() const { return have_loaded_; }

  void OnActivate() override;
  void OnDeactivate() override;
  // The main window goes away before this screen.
  void DetachMenu() { menu_ = nullptr; }

 private:
  friend class UserEditor;
  bool OpenTables();
  void BuildLists();
  void ReadRequestFile();
  void Close();
  // The selected row's table positioned; false (nothing selected) otherwise.
  bool SelectUser();
  bool SelectProfile();
  RightsDesign CurrentMarks() const;
  void ShowMarks(const RightsDesign& marks);
  void LoadDesign(WDBTable& t, int code, const std::string& wait_text);

  std::string business_;
  RightsMenu* menu_;
  TablePtr users_, menus_, profiles_, det_perf_, subbases_;
  std::unique_ptr<WBLISTBOX> users_grid_, profiles_grid_;
  std::optional<int> loaded_user_;
  bool have_loaded_ = false;
  RightsDesign saved_marks_;  // _Save_Current: the marks at opening
  bool closed_ = false;
};

class PRINCIPAL;
// The main window's menu seen as a RightsMenu.
std::unique_ptr<RightsMenu> MakeCaptureMenu(PRINCIPAL& main);

// Opens the screen for `business` (the menu entry "Perfiles de Usuario").
USUARIOS* OpenUsuarios(Desktop& desktop, const std::string& business, RightsMenu* menu);

// The request file BLOQUEAD.! as this screen writes it: "1"/"0" for
// "everybody", then one digit per area box 1011-1026.
std::string ExitRequestText(bool everybody, const std::vector<bool>& areas);

}  // namespace qz
