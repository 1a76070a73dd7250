// The catalog window: a screen that lists the rows of one per-business code
// table in a grid (control 700) and adds, modifies and deletes them through
// the main window's "Editar" popup. Every definition screen follows this
// protocol; a screen states only its table, key width, columns, messages and
// templates (CatalogSetup), and overrides what its form needs beyond
// CODIGO/DESCRIP (variant B edit windows, further fields).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/browse.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/desktop.h"
#include "lib/ui/wdiag.h"

namespace qz {

struct CatalogColumn {
  std::string header;
  std::string field;
  std::string picture;
};

struct CatalogSetup {
  std::string name;   // screen name, the suffix of its operations (PUESTOS -> ADD_PUESTOS)
  std::string table;  // file = alias
  std::string tag;    // index order 1, named like the table
  int key_width = 0;  // CODIGO width used for seeks
  int menu_id = 0;    // MENUSET id of the "Editar" entries
  std::vector<CatalogColumn> columns;
  std::string duplicate_on_add;
  std::string duplicate_on_modify;
  std::string delete_question;
  // Variant A: the inline dialog, and the fields of its controls 500, 501,
  // 502 ... in that order (CODIGO first).
  std::string edit_template;
  std::vector<std::string> edit_fields = {"CODIGO", "DESCRIP"};
  std::vector<CodeReference> references;
  // Tables whose rows belong to a catalog row (its items, its fields): they
  // follow a change of its code and are deleted with it.
  std::vector<CodeReference> details;
  std::string wait_text = "Un momento por favor...";
};

class CatalogScreen : public WDIAG {
 public:
  CatalogScreen(Desktop& desktop, std::string template_name, std::string business,
                CatalogSetup setup);
  ~CatalogScreen() override;

  // Opens the tables and the window. False (window not shown, tables
  // closed, the reason told to the user) when something is missing.
  bool Init();
  void Terminar(int result = 1);
  virtual bool AbrirBases();
  virtual void CerrarBases();
  void SHOW_MENU();
  void HIDE_MENU();
  virtual void MontarColumnas();
  virtual void ConfigBrow();

  // ADD_<X>, MOD_<X>, DEL_<X>.
  virtual void Add();
  virtual void Modify();
  virtual void Delete();
  // The control callback of the inline dialog (variant A); mode 0 = add,
  // 1 = modify.
  int CtrlAgregar(WDIAG& dlg, int msg, int64_t wparam, int64_t lparam, int mode);

  bool DoOperation(const std::string& name) override;
  void OnActivate() override { SHOW_MENU(); }

  const CatalogSetup& setup() const { return setup_; }
  const std::string& Negocio() const { return negocio_; }
  xb::Table* main_table() const { return main_ ? &main_->table() : nullptr; }
  WDBTable* main_wdb() const { return main_.get(); }
  WBLISTBOX* oB() const { return grid_.get(); }
  // The save steps' settings for a form in `mode` owned by `owner`.
  CatalogSave SaveSettings(int mode, WDIAG* owner) const;
  // True when the grid has a selected row (shows "No hay registros a
  // modificar" otherwise).
  bool HasCurrentRow() const;
  // The record of the grid's selected row (0 = none), whatever the cursor.
  uint32_t SelectedRecNo() const;
  // The catalog code as stored from what the user typed: the code column's
  // picture applied ("!" upper case, so "cam" is CAM) and padded to the key.
  std::string CodeFromText(const std::string& utf8) const;

 protected:
  // The row being modified as it was loaded: its record, key and
  // description. Saving writes that record and no other.
  uint32_t Registro = 0;
  std::string Codigo;   // table bytes, padded
  std::string Descrip;  // UTF-8

 private:
  CatalogSetup setup_;
  std::string negocio_;
  TablePtr main_;
  std::unique_ptr<WBLISTBOX> grid_;
  bool Open();
  bool menu_shown_ = false;
};

// Opens screen `S` (constructed with desktop, template, business) and hands
// it to the desktop; null when it could not open.
template <class S>
S* OpenScreen(Desktop& desktop, const std::string& template_name, const std::string& business) {
  auto s = std::make_unique<S>(desktop, template_name, business);
  S* raw = s.get();
  desktop.Adopt(std::move(s));
  // A table that cannot be opened is a fault: the error handler tells the
  // user, and the screen does not open.
  bool ok = false;
  RunOperation([&] { ok = raw->Init(); });
  if (!ok) {
    raw->ENDDIALOG(2);
    desktop.Collect();
    return nullptr;
  }
  return raw;
}

}  // namespace qz
