#include "lib/ui/catalog_edit_window.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/message_box.h"

namespace qz {

void NoRowToModify() {
  MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
}

CatalogEditWindow::CatalogEditWindow(CatalogScreen& parent, const std::string& template_name,
                                     int mode)
    : WDIAG(parent.desktop(), &parent, template_name), parent_(parent), tipo_(mode) {}

CatalogEditWindow::~CatalogEditWindow() {
  OnNCDestroy = nullptr;
  // Derived members are gone by now: only the caller is given back here;
  // the lookup tables were closed when the window was destroyed. When the
  // desktop is torn down the catalog may have gone first.
  if (parent_disabled_ && desktop().Alive(&parent_)) {
    parent_disabled_ = false;
    parent_.ENABLEWINDOW(true);
  }
}

void CatalogEditWindow::CerrarBases() {
  CerrarLookups();
  if (parent_disabled_) {
    parent_disabled_ = false;
    parent_.ENABLEWINDOW(true);
  }
}

bool CatalogEditWindow::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();  // the caller is usable again whatever failed
    throw;
  }
}

bool CatalogEditWindow::Open() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { CerrarBases(); };
  if (!AbrirLookups() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  Register();
  if (!CREATE().ok()) {
    CerrarBases();
    return false;
  }
  Fill();
  if (tipo_ == 1) {
    // The row selected in the list, whatever the cursor of the shared table
    // says; saving writes this record and no other.
    recno_ = parent_.SelectedRecNo();
    table().GoTo(recno_);
    auto code = table().Get("CODIGO");
    codigo_ = code.ok() && code->is_char() ? code->str() : std::string();
    codigo_.resize(parent_.setup().key_width, ' ');
    SetText(CodeControl(), TrimRight(FromField(xb::Value::Char(codigo_))));
    LoadRow();
  } else {
    LoadNew();
  }
  SetFocus(CodeControl());
  return true;
}

void CatalogEditWindow::Terminar(int result) {
  ENDDIALOG(result);
}

void CatalogEditWindow::PROCESAR() {
  if (!Validate()) return;
  CatalogSave save = parent_.SaveSettings(tipo_, this);
  save.recno = recno_;
  save.old_code = codigo_;
  std::string code = parent_.CodeFromText(Text(CodeControl()));
  if (!BeginCatalogWrite(save, code)) return;  // the window stays open with what was typed
  xb::Table& t = table();
  std::string stored = code;
  stored.resize(FieldWidth(t, "CODIGO"), ' ');
  t.Put("CODIGO", xb::Value::Char(stored));
  WriteFields();
  FinishCatalogWrite(save);
  WriteDetails(code);
  Terminar(1);
}

}  // namespace qz
