// Exchange rates (T_CAMBIO, window "T_CAMBIO"): the business's currencies in
// a tree, each with the relations that start from it (DET_MON); the dated
// rates of the relation clicked in a grid beside it (T_CAMBIO rows, edited
// with the dialog "MODIT_CAMBIO"). Relations are added, modified and deleted
// from the tree's context menu through the window "T_CAMB_2".
//
// The review range of the out-of-date warning (NEG_CAMB) is here too.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/desktop.h"
#include "lib/ui/tree.h"

namespace qz {

class T_CAMBIO : public WDIAG {
 public:
  static constexpr int kMenuId = 2830;
  // Rights of the "Editar" entries; the tree's relation entries and the
  // "Agregar" button go by the same ones.
  static constexpr int kAddRight = 2831, kModifyRight = 2832, kDeleteRight = 2833;
  static constexpr int kTree = 905, kGrid = 700, kAgregar = 201;
  // Controls of "MODIT_CAMBIO".
  static constexpr int kFecha = 502, kCambio1 = 505;

  T_CAMBIO(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~T_CAMBIO() override;
  bool Init();

  void ADD_T_CAMBIO();
  void MOD_T_CAMBIO();
  void DEL_T_CAMBIO();
  // The tree's relation entries, on a node.
  void AddRelation(TreeNode* currency);
  void ModifyRelation(TreeNode* relation);
  void DeleteRelation(TreeNode* relation);

  bool DoOperation(const std::string& name) override;
  void OnActivate() override;
  void OnDeactivate() override;

  TreeModel* tree() const { return tree_.get(); }
  WBLISTBOX* grid() const { return grid_.get(); }
  const std::string& Negocio() const { return negocio_; }
  // The relation clicked in the tree (from, to: table bytes), if any.
  struct Relation {
    std::string from, to;
  };
  std::optional<Relation> SelectedRelation() const;
  // Rebuilds the tree (message 1034 of the relation window).
  void RebuildTree();

 private:
  void FillTree(TreeModel& tree);
  void ShowRates();
  int RateCtrl(WDIAG& dlg, int msg, int64_t wparam, int mode, const Relation& rel);
  bool SaveRate(WDIAG& dlg, int mode, const Relation& rel);
  bool Allowed(int right) const;
  void CerrarBases();

  std::string negocio_;
  TablePtr monedas_, det_mon_, rates_;
  std::unique_ptr<WBLISTBOX> grid_;
  std::unique_ptr<TreeModel> tree_;
  uint32_t editing_ = 0;  // the rate row a modification loaded
  bool menu_shown_ = false;
};

// The relation window: mode 0 adds a relation from currency `from`, mode 1
// modifies the relation (from, `to`) and moves its rates along when its
// "to" currency changes. True when something was saved; `saved_to` gets the
// relation's "to" currency as saved.
bool T_CAMB_2(Desktop& desktop, WDIAG* parent, int mode, const std::string& business,
              const std::string& from, const std::string& to = "", std::string* saved_to = nullptr);

// "Revisión de Tipos de Cambio": the review range of the out-of-date
// warning, CHECK_MON and CANT_MON of the business.
void NEG_CAMB(Desktop& desktop, const std::string& business);

// The label of a relation: the "to" currency's description and symbol.
std::string RelationLabel(const std::string& descrip_utf8, const std::string& symbol_utf8);

}  // namespace qz
