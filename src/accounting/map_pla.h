// Accounting links by position (MAP_PLA, "Mapeo de Cuentas "): for the
// department clicked in the tree, which accounting link of the payroll
// module a column is booked on for employees of a position, and whether the
// line is a statistical account. The "Editar" entries add and modify rows in
// the form E_MAPPLA and delete the selected row. Only the whole combination
// of department, position, column and link is unique.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/catalog.h"
#include "lib/ui/tree.h"

namespace qz {

class MAP_PLA : public CatalogScreen {
 public:
  static constexpr int kMenuId = 5291;
  static constexpr int kTree = 800;

  MAP_PLA(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~MAP_PLA() override;

  bool AbrirBases() override;
  void CerrarBases() override;
  void MontarColumnas() override;
  void ConfigBrow() override;
  void Add() override;
  void Modify() override;
  bool DoOperation(const std::string& name) override;

  // Shows the rows of department `code` (table bytes) and selects its node.
  void SelectDepartment(const std::string& code);
  // The department whose rows are listed (table bytes; blank: none yet).
  const std::string& department() const { return department_; }
  TreeModel* tree() const { return tree_.get(); }

 private:
  void FillTree(TreeModel& tree);
  void OpenEditor(int mode);
  // The description of `code` in lookup `t` (sought as business + `infix` +
  // code), or blank.
  std::string Describe(WDBTable* t, const std::string& infix, const xb::Value& code) const;

  std::string department_;
  std::unique_ptr<TreeModel> tree_;
  TablePtr enc_dept_, puestos_, enc_tip_, ligas_;
};

}  // namespace qz
