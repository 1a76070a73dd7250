// The separate edit window of a catalog row (variant B): the steps every
// such window shares, so each editor states only its own controls. While it
// is open the catalog window behind it is disabled. Control 500 is the code
// and 501 the description; "Aceptar" (1) checks the form, runs the catalog's
// save steps (duplicate test, lock or append, code change carried into the
// referencing tables) and writes the row the window loaded and no other.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "lib/ui/catalog.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/wdiag.h"

namespace qz {

class RecordEditor : public WDIAG {
 public:
  static constexpr int kCodigo = 500, kDescrip = 501;

  // `mode` 0 = add, 1 = modify the row selected in `parent`'s list.
  RecordEditor(CatalogScreen& parent, const std::string& template_name, int mode);
  ~RecordEditor() override;

  // Disables the caller, opens the lookup tables, shows the window and
  // loads it. False when it cannot open (the caller is enabled again).
  bool Init();
  virtual void PROCESAR();
  void Terminar(int result) { ENDDIALOG(result); }
  void CerrarBases();

  int mode() const { return tipo_; }
  const std::string& Negocio() const { return parent_.Negocio(); }

 protected:
  virtual bool AbrirBases() { return true; }
  virtual void CloseOwnTables() {}
  // After the template is read, before the window shows: buttons, lists.
  virtual void BuildControls() {}
  // Fills lists and combos once the window shows.
  virtual void Fill() {}
  // Mode 1: the fields beyond CODIGO and DESCRIP of the loaded row.
  virtual void LoadRow(const xb::Table& t) { (void)t; }
  // Mode 0: the form's initial state.
  virtual void LoadDefaults() {}
  // Checks before anything is locked; false (the user told) keeps the
  // window open with what was typed. `code` is the code as it will be
  // stored.
  virtual bool Validate(const std::string& code) {
    (void)code;
    return true;
  }
  // Writes the fields beyond CODIGO and DESCRIP into the locked row.
  virtual void WriteFields(xb::Table& t) { (void)t; }
  // After the row is written and released (further rows of the record).
  virtual void AfterSave(const std::string& code) { (void)code; }

  CatalogScreen& parent() { return parent_; }
  xb::Table& table() { return *parent_.main_table(); }
  uint32_t loaded_recno() const { return recno_; }
  const std::string& loaded_code() const { return codigo_; }

  // Helpers for the usual controls.
  // Numeric edits: every one must hold a number (else the user is told).
  bool NumbersValid(std::initializer_list<int> ids);
  double Number(int id) const;
  void ShowNumber(int id, const xb::Table& t, const std::string& field, const std::string& picture);
  // A 0/1 field shown in a check box.
  void LoadCheck(int id, const xb::Table& t, const std::string& field);
  // A 1/0 field shown as a pair of radios (`one` checked for 1).
  void LoadRadioPair(int one, int zero, const xb::Table& t, const std::string& field);
  // A code field shown by a combo: selects its entry.
  void LoadCombo(CCOMBOBOX& combo, const xb::Table& t, const std::string& field);
  // The combo's choice, written only when something is chosen.
  static void PutCombo(const CCOMBOBOX& combo, xb::Table& t, const std::string& field);
  static double FieldNumber(const xb::Table& t, const std::string& field);
  // Refuses with `message` (title "Error") and puts the focus on `id`.
  bool Refuse(const std::string& message, int id);

 private:
  bool Open();

  CatalogScreen& parent_;
  int tipo_;
  uint32_t recno_ = 0;   // the record loaded (modify)
  std::string codigo_;   // its code, table bytes, padded
  bool parent_disabled_ = false;
};

// Opens editor `E` (constructed with the catalog and the mode) over
// `parent`.
template <class E>
E* OpenRecordEditor(CatalogScreen& parent, int mode) {
  auto editor = std::make_unique<E>(parent, mode);
  E* raw = editor.get();
  parent.desktop().Adopt(std::move(editor));
  if (!raw->Init()) {
    raw->ENDDIALOG(2);
    return nullptr;
  }
  return raw;
}

// A catalog whose add and modify open edit window `E`.
template <class E>
class EditedCatalog : public CatalogScreen {
 public:
  using CatalogScreen::CatalogScreen;
  void Add() override { OpenRecordEditor<E>(*this, 0); }
  void Modify() override {
    if (!HasCurrentRow()) {
      MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
      return;
    }
    OpenRecordEditor<E>(*this, 1);
  }
};

}  // namespace qz
