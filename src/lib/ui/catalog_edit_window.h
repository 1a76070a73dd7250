// The separate edit window of a catalog (variant B): a window of its own
// over the catalog screen, which stays disabled while it is open. It loads
// the row selected in the catalog's list (modify) or starts empty (add), and
// "Aceptar" (button 1) saves through the shared save steps: blank code,
// duplicate test, lock or locked append, a changed code carried into the
// referencing tables, the screen's own fields, unlock and refresh. A refused
// save keeps the window open with what was typed. A screen states only its
// lookup tables, its controls and how its fields are read and written.
#pragma once

#include <cstdint>
#include <string>

#include "lib/ui/catalog.h"
#include "lib/ui/wdiag.h"
#include "xbase/table.h"

namespace qz {

// "No hay registros a modificar": a modification asked with nothing
// selected.
void NoRowToModify();

class CatalogEditWindow : public WDIAG {
 public:
  // `mode` 0 = add, 1 = modify the row selected in `parent`'s list.
  CatalogEditWindow(CatalogScreen& parent, const std::string& template_name, int mode);
  ~CatalogEditWindow() override;

  // Disables the caller, opens the lookup tables, shows the window and loads
  // it. False when it cannot open (the caller is enabled again).
  bool Init();
  // "Aceptar".
  void PROCESAR();
  void Terminar(int result);
  void CerrarBases();

  int Tipo() const { return tipo_; }
  const std::string& Negocio() const { return parent_.Negocio(); }
  CatalogScreen& parent_screen() const { return parent_; }
  // The catalog table (the caller's handle), on the row being edited.
  xb::Table& table() const { return *parent_.main_table(); }
  // The code the window loaded (table bytes, padded); blank when adding.
  const std::string& codigo() const { return codigo_; }

 protected:
  // The control holding the code.
  virtual int CodeControl() const { return 500; }
  // Lookup tables; false when one cannot be opened.
  virtual bool AbrirLookups() { return true; }
  virtual void CerrarLookups() {}
  // Control objects and button blocks (1 and 2 are registered already).
  virtual void Register() {}
  // Lists and combos, before the row is loaded.
  virtual void Fill() {}
  // Mode 1: the table is on the row; put its fields into the controls.
  virtual void LoadRow() {}
  // Mode 0: the defaults of a new row.
  virtual void LoadNew() {}
  // Checks made before anything is locked; false (after telling the user)
  // keeps the window open and writes nothing.
  virtual bool Validate() { return true; }
  // The row is locked and current (CODIGO already written): write the
  // screen's fields.
  virtual void WriteFields() = 0;
  // After the row is written and released: rows of other tables that go
  // with it (items, fields). `code` is the code saved (table bytes, padded).
  virtual void WriteDetails(const std::string& code) { (void)code; }

 private:
  bool Open();

  CatalogScreen& parent_;
  int tipo_;
  uint32_t recno_ = 0;
  std::string codigo_;
  bool parent_disabled_ = false;
};

// Opens editor `E` (constructed with the screen, template and mode) over a
// catalog screen and hands it to the desktop.
template <class E>
E* OpenCatalogEditor(CatalogScreen& screen, const std::string& template_name, int mode) {
  if (mode == 1 && !screen.HasCurrentRow()) {
    NoRowToModify();
    return nullptr;
  }
  auto editor = std::make_unique<E>(screen, template_name, mode);
  E* raw = editor.get();
  screen.desktop().Adopt(std::move(editor));
  if (!raw->Init()) {
    raw->ENDDIALOG(2);
    return nullptr;
  }
  return raw;
}

}  // namespace qz
