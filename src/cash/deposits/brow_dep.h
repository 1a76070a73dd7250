// BROW_DEP: the hotel deposits of a business, by concept (a tree with every
// movement at the root and one concept's under it) in a grid over ENC_HLIB;
// marks, view, print (the marked movements, else the one under the
// cursor), correction of the guest data, annulment and the reports.
#pragma once

#include <memory>
#include <set>
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
  static constexpr int kPrint = 201, kView = 202, kCorrect = 203, kAnnul = 204, kReports = 205,
                       kNew = 206, kMark = 207;

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
  // Marks or unmarks the movement under the cursor (also a click on the
  // first column); "Imprimir" prints the marked ones.
  void MARK_DEP();
  bool Marked(const std::string& movimiento) const { return marks_.count(movimiento) > 0; }
  // Opens the registration window (a registered deposit refreshes the grid).
  void NEW_DEP();
  // Reads the rows again (another window wrote).
  void Refresh();

 private:
  void CerrarBases();
  void ShowConcept(const std::string& concepto);
  void ShowFooter();

  std::string negocio_;
  TablePtr enc_;
  std::unique_ptr<WBLISTBOX> grid_;
  std::unique_ptr<TreeModel> tree_;
  int shown_row_ = -2;
  std::set<std::string> marks_;  // movement numbers (bytes)
  std::string scope_;            // business + the concept shown
};

BROW_DEP* OpenDepositBrowse(Desktop& desktop, const std::string& business);

// "BROW_DEP" in the registry of screens.
void RegisterDepositScreens(MenuRegistry& registry, Desktop& desktop);

}  // namespace qz
