// BROW_DEP: the hotel deposits of a business, by concept (a tree with every
// movement at the root and one concept's under it) in a grid over ENC_HLIB;
// view, print, correction of the guest data, annulment and the reports.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/menu_registry.h"
#include "lib/ui/tree.h"
#include "lib/ui/wdiag.h"

namespace qz {

class BROW_DEP : public WDIAG {
 public:
  static constexpr int kTree = 600, kGrid = 700, kName = 501, kState = 502;
  static constexpr int kPrint = 201, kView = 202, kCorrect = 203, kAnnul = 204, kReports = 205;

  BROW_DEP(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~BROW_DEP() override;

  bool Init();
  WBLISTBOX* grid() const { return grid_.get(); }
  TreeModel* tree() const { return tree_.get(); }
  // The movement under the grid cursor; empty when none.
  std::string Selected() const;

  void PRINT_DEP();
  void VIEW_DEP();
  void CORRECT_DEP();
  void ANNUL_DEP();
  void REPORTS_DEP();

 private:
  void CerrarBases();
  void ShowConcept(const std::string& concepto);
  void ShowFooter();
  void Refresh();

  std::string negocio_;
  TablePtr enc_;
  std::unique_ptr<WBLISTBOX> grid_;
  std::unique_ptr<TreeModel> tree_;
  int shown_row_ = -2;
};

BROW_DEP* OpenDepositBrowse(Desktop& desktop, const std::string& business);

// "BROW_DEP" in the registry of screens.
void RegisterDepositScreens(MenuRegistry& registry, Desktop& desktop);

}  // namespace qz
