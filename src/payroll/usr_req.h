// Digital signatures (USR_REQ, window "USR_REQ", table USR_REQ): the persons
// whose signature authorises documents of the suite, with their permissions,
// signature password and the stages and departments they sign for. Adding
// and modifying open E_USRREQ ("AGREGAR_USR_REQ").
#pragma once

#include <string>

#include "lib/ui/catalog.h"

namespace qz {

class USR_REQ : public CatalogScreen {
 public:
  static constexpr int kMenuId = 3656;
  USR_REQ(Desktop& desktop, const std::string& template_name, const std::string& business);
  static CatalogSetup Setup();

  void OpenEdit(int mode) override;
};

}  // namespace qz
