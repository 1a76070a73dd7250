// Access rights by menu id. Every menu entry that can be granted has an id
// between 2000 and 7000 which is at once its command id and its right id;
// the user's rights for the business come from MENUS (one row per granted or
// refused id). Supervisors have every right.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "shell/users.h"

namespace qz {

inline constexpr int kFirstRight = 2000;
inline constexpr int kLastRight = 7000;

class Rights {
 public:
  Rights();

  // LOAD_DERECHOS of the main window: the rows of MENUS for the business
  // and the user, plus the ids every user has (2009, 3232, 3386), 2000 for a
  // supervisor and 2904 for a user who may change the own password. Returns
  // the user's row (found = false for an unknown name).
  UserRow LoadForMainWindow(const std::string& business, const std::string& user_name);
  // LOAD_DERECHOS of the business toolbar: the same, without 3232 and 3386.
  UserRow LoadForToolbar(const std::string& business, const std::string& user_name);

  // GET_RIGHTS: true when the entry must be greyed. Ids outside 2000-7000
  // and a program without login are never greyed.
  bool GET_RIGHTS(int id) const;
  // GET_CHECKS: the check mark of the rights-capture mode.
  bool GET_CHECKS(int id) const;
  // GET_R_EDIT: GET_RIGHTS cached per business (for the "Editar" entries).
  bool GET_R_EDIT(int id);
  void SetCheck(int id, bool on);
  // The "Editar" answers of every business are forgotten (business change).
  void ClearEditCache() { menu_edit_.clear(); }

  void set_no_login(bool on) { no_login_ = on; }
  void set_no_neg(bool on) { no_neg_ = on; }
  bool no_neg() const { return no_neg_; }

  const std::string& ACT_NEG() const { return act_neg_; }
  void set_ACT_NEG(const std::string& b) { act_neg_ = b; }
  const std::string& ACT_USER() const { return act_user_; }
  int ACT_UID() const { return act_uid_; }
  bool supervisor() const { return supervisor_; }
  // How many ids are allowed (for tests and the status bar).
  int AllowedCount() const;

 private:
  UserRow Load(const std::string& business, const std::string& user_name, bool toolbar);

  std::vector<bool> menu_vec_;                            // MENU_VEC: entry i is id 2000 + i
  std::vector<bool> menu_chk_;                            // MENU_CHK
  std::map<std::string, std::map<int, bool>> menu_edit_;  // MENU_EDIT
  std::string act_neg_, act_user_;
  int act_uid_ = 0;
  bool supervisor_ = false;
  bool no_login_ = false;
  bool no_neg_ = true;
};

}  // namespace qz
