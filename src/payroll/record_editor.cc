#include "payroll/record_editor.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"

namespace qz {

RecordEditor::RecordEditor(CatalogScreen& parent, const std::string& template_name, int mode)
    : WDIAG(parent.desktop(), &parent, template_name), parent_(parent), tipo_(mode) {}

RecordEditor::~RecordEditor() {
  OnNCDestroy = nullptr;
  // The derived part is gone: only the caller is let go here; the derived
  // destructor closed its own tables.
  if (parent_disabled_ && desktop().Alive(&parent_)) parent_.ENABLEWINDOW(true);
}

void RecordEditor::CerrarBases() {
  CloseOwnTables();
  if (parent_disabled_) {
    parent_disabled_ = false;
    parent_.ENABLEWINDOW(true);
  }
}

bool RecordEditor::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();  // the caller is usable again whatever failed
    throw;
  }
}

bool RecordEditor::Open() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { CerrarBases(); };
  if (!AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  BuildControls();
  if (!CREATE().ok()) {
    CerrarBases();
    return false;
  }
  Fill();
  if (tipo_ == 1) {
    // The row selected in the list, whatever the cursor of the shared table
    // says; saving writes this record and no other.
    recno_ = parent_.SelectedRecNo();
    xb::Table& t = table();
    t.GoTo(recno_);
    auto code = t.Get("CODIGO");
    codigo_ = code.ok() && code->is_char() ? code->str() : std::string();
    codigo_.resize(parent_.setup().key_width, ' ');
    SetText(kCodigo, FieldText(t, "CODIGO"));
    SetText(kDescrip, FieldText(t, "DESCRIP"));
    LoadRow(t);
  } else {
    LoadDefaults();
  }
  SetFocus(kCodigo);
  return true;
}

void RecordEditor::PROCESAR() {
  std::string code = parent_.CodeFromText(Text(kCodigo));
  // Checked before anything is locked, so a refused value writes nothing.
  if (!Validate(code)) return;
  CatalogSave save = parent_.SaveSettings(tipo_, this);
  save.recno = recno_;
  save.old_code = codigo_;
  if (!BeginCatalogWrite(save, code)) return;  // the window stays open with what was typed
  xb::Table& t = table();
  t.Put("CODIGO", xb::Value::Char(code));
  t.Put("DESCRIP", xb::Value::Char(ToField(Text(kDescrip), FieldWidth(t, "DESCRIP"))));
  WriteFields(t);
  FinishCatalogWrite(save);
  AfterSave(code);
  Terminar(1);
}

bool RecordEditor::NumbersValid(std::initializer_list<int> ids) {
  for (int id : ids) {
    if (ParseNumber(Text(id))) continue;
    return Refuse(NotANumberMessage(Text(id)), id);
  }
  return true;
}

double RecordEditor::Number(int id) const {
  return ParseNumber(Text(id)).value_or(0);
}

double RecordEditor::FieldNumber(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

void RecordEditor::ShowNumber(int id, const xb::Table& t, const std::string& field,
                              const std::string& picture) {
  std::string s = FormatNumber(FieldNumber(t, field), picture);
  size_t first = s.find_first_not_of(' ');
  SetText(id, first == std::string::npos ? "" : s.substr(first));
}

void RecordEditor::LoadCheck(int id, const xb::Table& t, const std::string& field) {
  SetCheck(id, FieldNumber(t, field) == 1 ? 1 : 0);
}

void RecordEditor::LoadRadioPair(int one, int zero, const xb::Table& t, const std::string& field) {
  SetCheck(FieldNumber(t, field) == 1 ? one : zero, 1);
}

void RecordEditor::LoadCombo(CCOMBOBOX& combo, const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  if (v.ok() && v->is_char()) combo.SEEKCARGO(FromField(*v));
}

void RecordEditor::PutCombo(const CCOMBOBOX& combo, xb::Table& t, const std::string& field) {
  if (auto cargo = combo.CURCARGO()) t.Put(field, xb::Value::Char(ToField(*cargo, FieldWidth(t, field))));
}

bool RecordEditor::Refuse(const std::string& message, int id) {
  MESSAGE_BOX(message, "Error", kMbIconStop);
  SetFocus(id);
  return false;
}

}  // namespace qz
