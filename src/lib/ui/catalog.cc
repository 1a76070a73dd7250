#include "lib/ui/catalog.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {

CatalogScreen::CatalogScreen(Desktop& desktop, std::string template_name, std::string business,
                             CatalogSetup setup)
    : WDIAG(desktop, nullptr, std::move(template_name)),
      setup_(std::move(setup)),
      negocio_(std::move(business)) {}

CatalogScreen::~CatalogScreen() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool CatalogScreen::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();
    throw;
  }
}

bool CatalogScreen::Open() {
  if (!AbrirBases()) {
    CerrarBases();
    return false;
  }
  if (!INIT().ok()) {
    CerrarBases();
    return false;
  }
  grid_ = std::make_unique<WBLISTBOX>(*this, 700, main_table());
  ADD(1, [this] { Terminar(1); });
  OnNCDestroy = [this] {
    CerrarBases();
    HIDE_MENU();
  };
  if (!CREATE().ok()) return false;
  MontarColumnas();
  ConfigBrow();
  return true;
}

void CatalogScreen::Terminar(int result) {
  ENDDIALOG(result);
}

bool CatalogScreen::AbrirBases() {
  main_ = OpenTable(this, setup_.table);
  return main_ != nullptr;
}

void CatalogScreen::CerrarBases() {
  grid_.reset();
  CloseTable(main_);
}

void CatalogScreen::SHOW_MENU() {
  menu_shown_ = true;
  desktop().MENUSET(setup_.menu_id, this, negocio_);
}

void CatalogScreen::HIDE_MENU() {
  if (!menu_shown_) return;
  menu_shown_ = false;
  // Another screen that became active meanwhile keeps its own entries.
  if (desktop().active() == nullptr || desktop().active() == this)
    desktop().MENUSET(0, this, negocio_);
}

void CatalogScreen::MontarColumnas() {
  for (const auto& c : setup_.columns)
    AGREGARCOL(*grid_, main_table(), c.header, c.field, c.picture);
}

void CatalogScreen::ConfigBrow() {
  WBLISTBOX& b = *grid_;
  b.SHOWNUMBERS = false;
  b.NUBWIDTH = 1;
  b.BOXCURSOR = false;
  b.AUTOLITE = false;
  b.ESCAPE = false;
  b.MAKE3D = false;
  b.MIMICBUTTON = false;
  b.SHOWFOCUS = true;
  b.AUTOSIZE = true;
  b.USERMOVE = false;
  b.USERSIZE = false;
  xb::Status st = BROWMARKS(b, {{1, setup_.tag}}, 1, negocio_);
  if (!st.ok()) {
    MESSAGE_BOX("No se pudo leer " + setup_.table + "\r\n" + st.message(), "Alerta", kMbIconStop);
  }
}

bool CatalogScreen::HasCurrentRow() const {
  return main_ && SelectedRecNo() != 0;
}

uint32_t CatalogScreen::SelectedRecNo() const {
  return grid_ ? grid_->SelectedRecNo() : 0;
}

std::string CatalogScreen::CodeFromText(const std::string& utf8) const {
  std::string picture;
  for (const auto& c : setup_.columns)
    if (c.field == "CODIGO") picture = c.picture;
  return CodeField(utf8, picture, setup_.key_width);
}

CatalogSave CatalogScreen::SaveSettings(int mode, WDIAG* owner) const {
  CatalogSave s;
  s.table = main_.get();
  s.grid = grid_.get();
  s.owner = owner;
  s.business = negocio_;
  s.key_width = setup_.key_width;
  s.mode = mode;
  s.recno = Registro;
  s.old_code = Codigo;
  s.duplicate_message = mode == 0 ? setup_.duplicate_on_add : setup_.duplicate_on_modify;
  s.check_duplicates = setup_.check_duplicates;
  s.references = setup_.references;
  s.references.insert(s.references.end(), setup_.details.begin(), setup_.details.end());
  s.wait_text = setup_.wait_text;
  return s;
}

void CatalogScreen::Add() {
  OpenEdit(0);
}

void CatalogScreen::Modify() {
  // Modifying nothing would write into a phantom row past the end.
  if (!HasCurrentRow()) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  OpenEdit(1);
}

void CatalogScreen::OpenEdit(int mode) {
  DIALOG_BOX(desktop(), setup_.edit_template, this, [this, mode](WDIAG& d, int m, int64_t w,
                                                                 int64_t l) {
    return CtrlAgregar(d, m, w, l, mode);
  });
}

void CatalogScreen::Delete() {
  if (!HasCurrentRow()) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  const uint32_t rec = SelectedRecNo();
  if (MESSAGE_BOX(setup_.delete_question, "Advertencia", kMbOkCancel | kMbIconQuestion) != 1) return;
  WDBTable& t = *main_;
  // The selected row, wherever the cursor was left; once locked (and so
  // re-read) it must not have been deleted by another user meanwhile.
  if (!t.table().GoTo(rec).ok() || !LockForModify(t)) return;
  if (t.table().Deleted()) {
    UnlockForModify(t);
    grid_->REFRESHALL();
    return;
  }
  auto code = t.table().Get("CODIGO");
  t.Delete();
  UnlockForModify(t);
  if (code.ok() && code->is_char()) {
    for (const auto& d : setup_.details) DeleteCodeRows(d, negocio_, code->str());
  }
  grid_->NMAXREC -= 1;
  grid_->REFRESHALL();
}

int CatalogScreen::CtrlAgregar(WDIAG& dlg, int msg, int64_t wparam, int64_t lparam, int mode) {
  (void)lparam;
  xb::Table& t = *main_table();
  if (msg == kWmInitDialog) {
    if (mode == 1) {
      Registro = SelectedRecNo();
      t.GoTo(Registro);
      auto code = t.Get("CODIGO");
      Codigo = code.ok() && code->is_char() ? code->str() : std::string();
      Codigo.resize(setup_.key_width, ' ');
      Descrip = FieldText(t, "DESCRIP");
      for (size_t i = 0; i < setup_.edit_fields.size(); ++i) {
        auto v = t.Get(setup_.edit_fields[i]);
        std::string text;
        if (v.ok() && v->is_numeric()) {
          // As many decimals as the field keeps, so an untouched value is
          // saved back unchanged.
          int idx = t.FieldIndex(setup_.edit_fields[i]);
          int dec = idx >= 0 ? t.fields()[idx].dec : 0;
          std::string picture = std::string(12, '9');
          if (dec > 0) picture += "." + std::string(dec, '9');
          text = TrimRight(FormatNumber(v->number(), picture));
          text.erase(0, text.find_first_not_of(' '));
        } else {
          text = FieldText(t, setup_.edit_fields[i]);
        }
        dlg.SetText(500 + static_cast<int>(i), text);
      }
    }
    LoadEditControls(dlg, mode);
    dlg.SetFocus(500);
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(2);
    return 1;
  }
  if (wparam != 1) return 1;
  if (SaveEdit(dlg, mode)) dlg.ENDDIALOG(1);
  return 1;
}

bool CatalogScreen::SaveEdit(WDIAG& dlg, int mode) {
  xb::Table& t = *main_table();
  std::string code = CodeFromText(dlg.Text(500));
  CatalogSave save = SaveSettings(mode, &dlg);
  std::string refused;
  for (size_t i = 1; i < setup_.edit_fields.size() && refused.empty(); ++i) {
    int idx = t.FieldIndex(setup_.edit_fields[i]);
    if (idx >= 0 && IsNumericType(t.fields()[idx].type) &&
        !ParseNumber(dlg.Text(500 + static_cast<int>(i))))
      refused = dlg.Text(500 + static_cast<int>(i));
    if (!refused.empty()) dlg.SetFocus(500 + static_cast<int>(i));
  }
  if (!refused.empty()) {
    MESSAGE_BOX(NotANumberMessage(refused), "Error", kMbIconStop);
    return false;
  }
  if (!BeginCatalogWrite(save, code)) return false;  // the dialog stays open with what was typed
  for (size_t i = 0; i < setup_.edit_fields.size(); ++i) {
    const std::string& field = setup_.edit_fields[i];
    int idx = t.FieldIndex(field);
    if (idx < 0) continue;
    std::string text = dlg.Text(500 + static_cast<int>(i));
    char type = t.fields()[idx].type;
    if (i == 0) {
      std::string bytes = code;
      bytes.resize(t.fields()[idx].len, ' ');
      t.Put(idx, xb::Value::Char(bytes));
    } else if (IsNumericType(type)) {
      t.Put(idx, xb::Value::Number(ParseNumber(text).value_or(0)));
    } else if (type == 'C') {
      t.Put(idx, xb::Value::Char(ToField(text, t.fields()[idx].len)));
    }
  }
  WriteEditFields(dlg, t);
  FinishCatalogWrite(save);
  return true;
}

bool CatalogScreen::DoOperation(const std::string& name) {
  // Behind its own edit window or a dialog the screen does nothing.
  if (!window_enabled()) return true;
  if (name == "ADD_" + setup_.name) {
    Add();
  } else if (name == "MOD_" + setup_.name) {
    Modify();
  } else if (name == "DEL_" + setup_.name) {
    Delete();
  } else {
    return false;
  }
  return true;
}

}  // namespace qz
