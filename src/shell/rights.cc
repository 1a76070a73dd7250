#include "shell/rights.h"

#include "lib/settings/globals.h"
#include "shell/shell_tables.h"

namespace qz {
namespace {

constexpr int kRightCount = kLastRight - kFirstRight + 1;

bool InRange(int id) {
  return id >= kFirstRight && id <= kLastRight;
}

}  // namespace

Rights::Rights() : menu_vec_(kRightCount, false), menu_chk_(kRightCount, false) {}

UserRow Rights::LoadForMainWindow(const std::string& business, const std::string& user_name) {
  return Load(business, user_name, false);
}

UserRow Rights::LoadForToolbar(const std::string& business, const std::string& user_name) {
  return Load(business, user_name, true);
}

UserRow Rights::Load(const std::string& business, const std::string& user_name, bool toolbar) {
  act_neg_ = BusinessKey(business);
  act_user_ = user_name;
  // Answers cached for the "Editar" entries belong to the rights replaced.
  menu_edit_.clear();
  UserRow user;
  if (TablePtr users = OpenShellTable("USUARIOS", "USUARIOS", true)) {
    if (users->Seek(act_neg_ + UserNameKey(*users, user_name))) user = ReadUserRow(*users);
    KILLTABLA(users);
  }
  act_uid_ = user.found ? user.codigo : 0;
  supervisor_ = user.found && user.supervisor == 1;
  menu_vec_.assign(kRightCount, supervisor_);
  menu_chk_.assign(kRightCount, false);
  menu_edit_.clear();
  menu_edit_[act_neg_];
  // An unknown name (the impossible user of a pending business change among
  // them) reads no rows at all: rows of user code 0 must not grant rights.
  if (user.found && !supervisor_) {
    if (TablePtr menus = OpenShellTable("MENUS", "MENUS")) {
      const std::string prefix = act_neg_ + Str(act_uid_, 8);
      std::vector<bool> seen(kRightCount, false);
      menus->Seek(prefix, true);
      for (; !menus->Eof(); menus->Skip()) {
        if (RawField(*menus, "NEGOCIO") != act_neg_ || IntField(*menus, "CODIGO") != act_uid_)
          break;
        int id = IntField(*menus, "ID");
        if (!InRange(id)) continue;
        // The toolbar seeks each id and so takes its first row; the main
        // window walks them all and keeps the last.
        if (toolbar && seen[id - kFirstRight]) continue;
        seen[id - kFirstRight] = true;
        menu_vec_[id - kFirstRight] = NumField(*menus, "CHECK_ID") != 0;
      }
      KILLTABLA(menus);
    }
  }
  auto allow = [&](int id) { menu_vec_[id - kFirstRight] = true; };
  allow(2009);
  if (supervisor_) allow(2000);
  if (user.found && user.permiso1 == 1) allow(2904);
  if (!toolbar) {
    allow(3232);
    allow(3386);
  }
  return user;
}

bool Rights::GET_RIGHTS(int id) const {
  if (no_login_ || !InRange(id)) return false;
  return !menu_vec_[id - kFirstRight];
}

bool Rights::GET_CHECKS(int id) const {
  return InRange(id) && menu_chk_[id - kFirstRight];
}

bool Rights::GET_R_EDIT(int id) {
  if (no_neg_) return GET_RIGHTS(id);
  auto& cache = menu_edit_[act_neg_];
  auto it = cache.find(id);
  if (it != cache.end()) return it->second;
  bool answer = GET_RIGHTS(id);
  cache[id] = answer;
  return answer;
}

void Rights::SetCheck(int id, bool on) {
  if (InRange(id)) menu_chk_[id - kFirstRight] = on;
}

int Rights::AllowedCount() const {
  int n = 0;
  for (bool b : menu_vec_) n += b ? 1 : 0;
  return n;
}

}  // namespace qz
