// The login (UserLogin): the dialog XLOGINUSR where the user picks a
// business and types name and password, the access rules of Verificar
// (global lock, exit-request file, blocked user, attempt limit), and the
// session globals a successful login sets.
#pragma once

#include <optional>
#include <string>

#include "shell/users.h"

namespace qz {

class Desktop;
class WDIAG;

struct LoginResult {
  std::string name;      // UTF-8, upper case
  std::string business;  // 15 bytes
  std::string usuario;   // the user's USUARIO text
};

class UserLogin {
 public:
  // Control ids of XLOGINUSR.
  enum : int {
    kOk = 1,
    kCancel = 2,
    kUserName = 500,
    kPassword = 501,
    kBusiness = 601,
    kSessionsLabel = 1010,
    kVersionLabel = 1111
  };
  static constexpr int64_t kBlockFileCheckMs = 20000;

  explicit UserLogin(Desktop& desktop) : desktop_(desktop) {}

  // Shows the login dialog titled `title`; nothing when the user cancelled,
  // a rule ended the program, or the request file appeared meanwhile.
  std::optional<LoginResult> Login(const std::string& title);

  enum class Verdict { kOk, kRetry, kEndProgram };
  // Verificar: checks name and password for the business and applies the
  // access rules; kOk sets the session globals.
  Verdict Verificar(const std::string& business, const std::string& name,
                    const std::string& password);

  // What the login keeps.
  std::string uName, uPass, uComp, uUsuario;
  int xCount() const { return attempts_.count(); }

 private:
  int CtrlLogin(WDIAG& dlg, int msg, int64_t wparam);
  void FillBusinesses(WDIAG& dlg);
  void Ok(WDIAG& dlg);

  Desktop& desktop_;
  std::string title_;
  AttemptCounter attempts_;
};

// The text of a business code selected in a combo (entries carry it).
std::string SelectedCode(const WDIAG& dlg, int combo_id);
// Fills a combo with every NEGOCIOS row (DESCRIP, cargo CODIGO) in the order
// of tag NEGOCIOS; false when the table cannot be read.
bool FillBusinessCombo(WDIAG& dlg, int combo_id);
// Selects the entry whose code is `code` (padded to 15); false when none.
bool SelectBusiness(WDIAG& dlg, int combo_id, const std::string& code);

}  // namespace qz
