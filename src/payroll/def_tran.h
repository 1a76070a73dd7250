// Bank transactions (DEF_TRAN, window "DEF_TRAN", inline dialog
// "E_TRANSACCION"): the transactions each bank of the business offers. The
// window shows the banks in a tree (control 600); the grid lists the
// TRANS_B rows of the business and the selected bank, and a row added is
// stored under that bank. A code is unique within the business, whichever
// bank holds it.
#pragma once

#include <memory>
#include <string>

#include "lib/ui/catalog.h"
#include "lib/ui/tree.h"

namespace qz {

class DEF_TRAN : public CatalogScreen {
 public:
  static constexpr int kMenuId = 2512;
  static constexpr int kBancos = 600;
  static constexpr const char* kDuplicate = "Código de transacción ya definido...";
  static constexpr const char* kDeleteQuestion = "¿Desea borrar la transacción bancaria?";
  static constexpr const char* kNoBank = "Seleccione primero un banco";

  DEF_TRAN(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~DEF_TRAN() override;
  static CatalogSetup Setup();

  bool AbrirBases() override;
  void CerrarBases() override;
  void ConfigBrow() override;
  void Add() override;
  bool SaveEdit(WDIAG& dlg, int mode) override;
  void WriteEditFields(WDIAG& dlg, xb::Table& t) override;

  // Shows the transactions of `bank` (its code, as in BANCOS).
  void SelectBank(const std::string& bank);
  const std::string& bank() const { return bank_; }
  TreeModel* tree() const { return tree_.get(); }

 private:
  // True when another row of the business already has `code`.
  bool CodeTaken(const std::string& code, int mode);

  std::unique_ptr<TreeModel> tree_;
  TablePtr by_code_;   // TRANS_B on its business + code tag, for the duplicate test
  std::string bank_;   // table bytes, padded to BANCO
};

}  // namespace qz
