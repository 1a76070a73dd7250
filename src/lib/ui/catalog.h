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
  bool check_duplicates = true;  // false: repeated codes are allowed
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
  // The form of an add (mode 0) or of a modification of the selected row
  // (mode 1; Modify has checked there is one): the inline dialog, or a
  // separate edit window where a screen overrides it (OpenEditWindow).
  virtual void OpenEdit(int mode);
  // The control callback of the inline dialog (variant A); mode 0 = add,
  // 1 = modify.
  int CtrlAgregar(WDIAG& dlg, int msg, int64_t wparam, int64_t lparam, int mode);

  // Hooks of the inline dialog for catalogs with more than edit fields:
  // LoadEditControls runs when the dialog opens (after edit_fields are
  // loaded; in mode 1 the table is on the row), WriteEditFields while the
  // row is locked, after edit_fields are written. SaveEdit is the whole
  // "Aceptar" (true = saved, the dialog closes); a screen that saves inside a
  // transaction or does more after the save wraps it.
  virtual void LoadEditControls(WDIAG& dlg, int mode) { (void)dlg, (void)mode; }
  virtual void WriteEditFields(WDIAG& dlg, xb::Table& t) { (void)dlg, (void)t; }
  virtual bool SaveEdit(WDIAG& dlg, int mode);

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

// Opens edit window `E` (constructed with the caller and `args`, and opened
// by its Init) and hands it to the desktop; closes it again when it could
// not open.
template <class E, class... Args>
void OpenEditWindow(CatalogScreen& caller, Args&&... args) {
  auto editor = std::make_unique<E>(caller, std::forward<Args>(args)...);
  E* raw = editor.get();
  caller.desktop().Adopt(std::move(editor));
  if (!raw->Init()) raw->ENDDIALOG(2);
}

// Opens screen `S` (constructed with desktop, template, business and any
// further arguments) and hands it to the desktop; null when it could not open.
template <class S, class... Extra>
S* OpenScreen(Desktop& desktop, const std::string& template_name, const std::string& business,
              Extra&&... extra) {
  auto s = std::make_unique<S>(desktop, template_name, business, std::forward<Extra>(extra)...);
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
