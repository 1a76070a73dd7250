// Document classifications (D_CLA_DC, window "D_CLA_DC"): the business's
// classes of documents (E_PLA_DC, code of 4) and the numbered sub-classes of
// each (D_PLA_DC, item 1..99), shown as a tree. The "Editar" entries add a
// class or a sub-class of the selected class, and modify or delete the
// selected node, each in a small modal form ("E_CLA_DC", "E_DET_DC"). A
// class's new code is carried into its sub-classes; deleting a class
// deletes them.
#pragma once

#include <memory>
#include <string>

#include "lib/data/use.h"
#include "lib/ui/desktop.h"
#include "lib/ui/tree.h"
#include "lib/ui/wdiag.h"

namespace qz {

class D_CLA_DC : public WDIAG {
 public:
  static constexpr int kMenuId = 4476;
  static constexpr int kTree = 700;
  static constexpr int kCodigo = 500, kDescrip = 501, kClase = 502;  // the two forms
  static constexpr const char* kClassTaken = "Código de clasificación ya definido...";
  static constexpr const char* kItemTaken = "Número ya definido en esta clasificación...";
  static constexpr const char* kItemRange = "El número debe estar entre 1 y 99";
  static constexpr const char* kBlankDescrip = "La descripción no puede definirse en blanco";
  static constexpr const char* kNoClass = "Seleccione una clasificación";
  static constexpr const char* kClassGone = "Otro usuario borró la clasificación.";
  static constexpr const char* kAskDeleteClass =
      "¿Desea borrar la clasificación y sus sub-clasificaciones?";
  static constexpr const char* kAskDeleteItem = "¿Desea borrar la sub-clasificación?";

  D_CLA_DC(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~D_CLA_DC() override;

  bool Init();
  void Terminar(int result) { ENDDIALOG(result); }
  bool AbrirBases();
  void CerrarBases();
  void SHOW_MENU();
  void HIDE_MENU();
  void OnActivate() override { SHOW_MENU(); }
  bool DoOperation(const std::string& name) override;

  void AddClass();
  void AddItem();
  void Modify();
  void Delete();

  TreeModel* tree() const { return tree_.get(); }
  // Tree cargos: "C" + class code, "I" + class code + item as 2 digits.
  static std::string ClassCargo(const std::string& code) { return "C" + code; }
  static std::string ItemCargo(const std::string& code, int item);

 private:
  bool Open();
  void FillTree(TreeModel& tree);
  void Reselect(const std::string& cargo);
  // The class code (stored bytes) of the selected node, or of its parent.
  std::string SelectedClass() const;
  int ClassDialog(int mode);
  int ItemDialog(int mode, const std::string& cls);
  bool SaveClass(WDIAG& dlg, int mode);
  bool SaveItem(WDIAG& dlg, int mode, const std::string& cls);
  bool ItemTaken(const std::string& cls, int item, uint32_t self);
  bool FindClass(const std::string& cls);
  bool FindItem(const std::string& cls, int item);
  void DeleteItems(const std::string& cls);

  std::string negocio_;
  TablePtr e_pla_dc_, d_pla_dc_;
  std::unique_ptr<TreeModel> tree_;
  uint32_t loaded_ = 0;       // the record a modify form loaded
  std::string loaded_code_;   // its class code
  int loaded_item_ = 0;       // its item (sub-classes)
  bool menu_shown_ = false;
};

}  // namespace qz
