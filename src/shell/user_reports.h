// What the users screen shows of its users on paper: the rights tree of a
// user (V_DERECHOS, "Derechos de Acceso a Quartzel"), built from the rights
// catalogue DERECHOS and the user's MENUS rows and printable, and the user
// report ("Reporte de Usuarios").
#pragma once

#include <memory>
#include <string>

#include "lib/ui/print_document.h"
#include "lib/ui/tree.h"
#include "lib/ui/wdiag.h"

namespace qz {

class V_DERECHOS : public WDIAG {
 public:
  static constexpr int kTree = 600;
  static constexpr int kTitle = 500;
  static constexpr int kPrint = 201;

  // The rights of the user `code` (login name `name`) of `business`.
  V_DERECHOS(Desktop& desktop, std::string business, int code, std::string name, bool supervisor);
  ~V_DERECHOS() override;
  bool Open();
  TreeModel* tree() const { return tree_.get(); }
  // The tree as a printed document (what "Imprimir" sends to the printer).
  PrintDocument Document() const;
  void Imprimir();

 private:
  void Fill(TreeModel& tree);

  std::string business_;
  int code_;
  std::string name_;
  bool supervisor_;
  std::unique_ptr<TreeModel> tree_;
};

V_DERECHOS* OpenRightsTree(Desktop& desktop, const std::string& business, int code,
                           const std::string& name, bool supervisor);

// "Listado de Usuarios": the business's users in key order.
PrintDocument UserReport(const std::string& business);

}  // namespace qz
