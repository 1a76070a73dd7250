#include "payroll/d_cla_dc.h"

#include <cstdio>

#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/detail_rows.h"

namespace qz {
namespace {

constexpr int kCodeWidth = 4;

std::string Bytes(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

int Item(const xb::Table& t) {
  auto v = t.Get("ITEM");
  return v.ok() && v->is_numeric() ? static_cast<int>(v->number()) : 0;
}

std::string Str2(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%2d", n);
  return buf;
}

}  // namespace

std::string D_CLA_DC::ItemCargo(const std::string& code, int item) {
  return "I" + code + Str2(item);
}

D_CLA_DC::D_CLA_DC(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(business) {}

D_CLA_DC::~D_CLA_DC() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool D_CLA_DC::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();
    throw;
  }
}

bool D_CLA_DC::Open() {
  if (!AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(1, [this] { Terminar(1); });
  OnNCDestroy = [this] {
    CerrarBases();
    HIDE_MENU();
  };
  tree_ = std::make_unique<TreeModel>(*this, kTree);
  tree_->SetFill([this](TreeModel& t) { FillTree(t); });
  tree_->AddStandardContextEntries();
  if (!CREATE().ok()) return false;
  tree_->Refresh();
  return true;
}

bool D_CLA_DC::AbrirBases() {
  e_pla_dc_ = USE(this, "E_PLA_DC");
  d_pla_dc_ = USE(this, "D_PLA_DC");
  if (!e_pla_dc_ || !d_pla_dc_) return false;
  return e_pla_dc_->table().SetOrder("E_PLA_DC").ok() && d_pla_dc_->table().SetOrder("D_PLA_DC").ok();
}

void D_CLA_DC::CerrarBases() {
  tree_.reset();
  CloseTable(e_pla_dc_);
  CloseTable(d_pla_dc_);
}

void D_CLA_DC::SHOW_MENU() {
  menu_shown_ = true;
  desktop().MENUSET(kMenuId, this, negocio_);
}

void D_CLA_DC::HIDE_MENU() {
  if (!menu_shown_) return;
  menu_shown_ = false;
  if (desktop().active() == nullptr || desktop().active() == this)
    desktop().MENUSET(0, this, negocio_);
}

bool D_CLA_DC::DoOperation(const std::string& name) {
  if (!window_enabled()) return true;
  if (name == "ADD_CLA_DC") {
    AddClass();
  } else if (name == "ADD_DET_DC") {
    AddItem();
  } else if (name == "MOD_CLA_DC") {
    Modify();
  } else if (name == "DEL_CLA_DC") {
    Delete();
  } else {
    return false;
  }
  return true;
}

void D_CLA_DC::FillTree(TreeModel& tree) {
  xb::Table& e = e_pla_dc_->table();
  xb::Table& d = d_pla_dc_->table();
  std::optional<xb::Value> scope = xb::Value::Char(negocio_);
  if (!e.SetScope(scope, scope).ok()) return;
  for (e.GoTop(); !e.Eof(); e.Skip(1)) {
    std::string code = Bytes(e, "CODIGO");
    TreeNode* cls = tree.Add(tree.root(), FieldText(e, "CODIGO") + " - " + FieldText(e, "DESCRIP"),
                             ClassCargo(code));
    std::optional<xb::Value> items = xb::Value::Char(negocio_ + code);
    if (!d.SetScope(items, items).ok()) continue;
    for (d.GoTop(); !d.Eof(); d.Skip(1))
      tree.Add(cls, Str2(Item(d)) + " - " + FieldText(d, "DESCRIP"), ItemCargo(code, Item(d)));
  }
  e.SetScope(std::nullopt, std::nullopt);
  d.SetScope(std::nullopt, std::nullopt);
}

void D_CLA_DC::Reselect(const std::string& cargo) {
  tree_->Refresh();
  if (TreeNode* n = tree_->Find(cargo)) {
    if (n->parent && n->parent != tree_->root()) tree_->Expand(n->parent, true);
    tree_->Click(n);
  }
}

std::string D_CLA_DC::SelectedClass() const {
  const TreeNode* n = tree_ ? tree_->selected() : nullptr;
  if (!n || n->cargo.size() < 1 + kCodeWidth) return {};
  return n->cargo.substr(1, kCodeWidth);
}

bool D_CLA_DC::FindClass(const std::string& cls) {
  xb::Table& e = e_pla_dc_->table();
  return e.Seek(xb::Value::Char(negocio_ + cls)).ok() && e.Found() && Bytes(e, "CODIGO") == cls &&
         Bytes(e, "NEGOCIO") == negocio_;
}

bool D_CLA_DC::FindItem(const std::string& cls, int item) {
  xb::Table& d = d_pla_dc_->table();
  return d.Seek(xb::Value::Char(negocio_ + cls + Str2(item))).ok() && d.Found() &&
         Bytes(d, "CODIGO") == cls && Bytes(d, "NEGOCIO") == negocio_ && Item(d) == item;
}

void D_CLA_DC::AddClass() {
  ClassDialog(0);
}

void D_CLA_DC::AddItem() {
  std::string cls = SelectedClass();
  if (cls.empty()) {
    MESSAGE_BOX(kNoClass, "Aviso", kMbIconInformation);
    return;
  }
  ItemDialog(0, cls);
}

void D_CLA_DC::Modify() {
  const TreeNode* n = tree_->selected();
  if (!n) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  if (n->cargo[0] == 'C') {
    ClassDialog(1);
  } else {
    ItemDialog(1, SelectedClass());
  }
}

int D_CLA_DC::ClassDialog(int mode) {
  std::string cls = SelectedClass();
  return DIALOG_BOX(desktop(), "E_CLA_DC", this, [this, mode, cls](WDIAG& dlg, int msg, int64_t w, int64_t) {
    if (msg == kWmInitDialog) {
      if (mode == 1) {
        if (!FindClass(cls)) {
          loaded_ = 0;  // gone meanwhile: saving will say so
        } else {
          xb::Table& e = e_pla_dc_->table();
          loaded_ = e.RecNo();
          dlg.SetText(kCodigo, FieldText(e, "CODIGO"));
          dlg.SetText(kDescrip, FieldText(e, "DESCRIP"));
        }
        loaded_code_ = cls;
      }
      dlg.SetFocus(kCodigo);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (w == 2) dlg.ENDDIALOG(2);
    if (w == 1 && SaveClass(dlg, mode)) dlg.ENDDIALOG(1);
    return 1;
  });
}

bool D_CLA_DC::SaveClass(WDIAG& dlg, int mode) {
  if (TrimRight(dlg.Text(kDescrip)).empty()) {
    MESSAGE_BOX(kBlankDescrip, "Error", kMbIconStop);
    return false;
  }
  std::string code = CodeField(dlg.Text(kCodigo), "!!!!", kCodeWidth);
  CatalogSave save;
  save.table = e_pla_dc_.get();
  save.owner = &dlg;
  save.business = negocio_;
  save.key_width = kCodeWidth;
  save.mode = mode;
  save.recno = loaded_;
  save.old_code = loaded_code_;
  save.duplicate_message = kClassTaken;
  save.references = {{"D_PLA_DC", "D_PLA_DC", "CODIGO"}};
  if (!BeginCatalogWrite(save, code)) {
    if (mode == 1) tree_->Refresh();  // show the classes as they now are
    return false;
  }
  xb::Table& e = e_pla_dc_->table();
  e.Put("CODIGO", xb::Value::Char(code));
  e.Put("DESCRIP", xb::Value::Char(ToField(dlg.Text(kDescrip), FieldWidth(e, "DESCRIP"))));
  FinishCatalogWrite(save);
  Reselect(ClassCargo(code));
  return true;
}

int D_CLA_DC::ItemDialog(int mode, const std::string& cls) {
  const TreeNode* n = tree_->selected();
  int item = mode == 1 && n ? std::atoi(n->cargo.substr(1 + kCodeWidth).c_str()) : 0;
  return DIALOG_BOX(desktop(), "E_DET_DC", this, [this, mode, cls, item](WDIAG& dlg, int msg, int64_t w, int64_t) {
    if (msg == kWmInitDialog) {
      if (FindClass(cls))
        dlg.SetText(kClase, FieldText(e_pla_dc_->table(), "CODIGO") + " - " +
                                FieldText(e_pla_dc_->table(), "DESCRIP"));
      loaded_ = 0;
      if (mode == 1 && FindItem(cls, item)) {
        xb::Table& d = d_pla_dc_->table();
        loaded_ = d.RecNo();
        dlg.SetText(kCodigo, std::to_string(item));
        dlg.SetText(kDescrip, FieldText(d, "DESCRIP"));
      }
      loaded_code_ = cls;
      loaded_item_ = item;
      dlg.SetFocus(kCodigo);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (w == 2) dlg.ENDDIALOG(2);
    if (w == 1 && SaveItem(dlg, mode, cls)) dlg.ENDDIALOG(1);
    return 1;
  });
}

bool D_CLA_DC::ItemTaken(const std::string& cls, int item, uint32_t self) {
  xb::Table& d = d_pla_dc_->table();
  if (!FindItem(cls, item)) return false;
  for (; !d.Eof() && Bytes(d, "CODIGO") == cls && Item(d) == item; d.Skip(1))
    if (d.RecNo() != self) return true;
  return false;
}

bool D_CLA_DC::SaveItem(WDIAG& dlg, int mode, const std::string& cls) {
  auto number = ParseNumber(dlg.Text(kCodigo));
  if (!number || *number < 1 || *number > 99 || *number != static_cast<int>(*number)) {
    MESSAGE_BOX(kItemRange, "Error", kMbIconStop);
    dlg.SetFocus(kCodigo);
    return false;
  }
  const int item = static_cast<int>(*number);
  if (TrimRight(dlg.Text(kDescrip)).empty()) {
    MESSAGE_BOX(kBlankDescrip, "Error", kMbIconStop);
    dlg.SetFocus(kDescrip);
    return false;
  }
  // A sub-class of a class another user deleted would be lost from view.
  if (!FindClass(cls)) {
    MESSAGE_BOX(kClassGone, "Atención", kMbIconWarning);
    tree_->Refresh();
    return false;
  }
  if (ItemTaken(cls, item, mode == 1 ? loaded_ : 0)) {
    MESSAGE_BOX(kItemTaken, "Error", kMbIconStop);
    return false;
  }
  WDBTable& w = *d_pla_dc_;
  xb::Table& d = w.table();
  if (mode == 1) {
    // The row the form loaded, unchanged in class and number.
    auto still_there = [&] {
      return loaded_ != 0 && d.GoTo(loaded_).ok() && !d.Eof() && !d.Deleted() &&
             Bytes(d, "NEGOCIO") == negocio_ && Bytes(d, "CODIGO") == cls && Item(d) == loaded_item_;
    };
    bool ok = still_there() && LockForModify(w);
    if (ok && !still_there()) {
      UnlockForModify(w);
      ok = false;
    }
    if (!ok) {
      MESSAGE_BOX(kRowDeletedMeanwhile, "Atención", kMbIconWarning);
      tree_->Refresh();
      return false;
    }
  } else {
    if (!AddNewRec(w)) return false;
    w.FieldPut("NEGOCIO", xb::Value::Char(negocio_));
    w.FieldPut("CODIGO", xb::Value::Char(cls));
  }
  d.Put("ITEM", xb::Value::Number(item));
  d.Put("DESCRIP", xb::Value::Char(ToField(dlg.Text(kDescrip), FieldWidth(d, "DESCRIP"))));
  UnlockForModify(w);
  Reselect(ItemCargo(cls, item));
  return true;
}

void D_CLA_DC::DeleteItems(const std::string& cls) {
  DeleteDetailRows(*d_pla_dc_, "D_PLA_DC", negocio_ + cls);
}

void D_CLA_DC::Delete() {
  const TreeNode* n = tree_->selected();
  if (!n) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  const bool is_class = n->cargo[0] == 'C';
  const std::string cls = SelectedClass();
  const int item = is_class ? 0 : std::atoi(n->cargo.substr(1 + kCodeWidth).c_str());
  if (MESSAGE_BOX(is_class ? kAskDeleteClass : kAskDeleteItem, "Advertencia",
                  kMbOkCancel | kMbIconQuestion) != 1)
    return;
  if (is_class) {
    // The sub-classes first: a class is never left with orphans.
    DeleteItems(cls);
    if (FindClass(cls)) DELETE_RECORD(*e_pla_dc_);
  } else if (FindItem(cls, item)) {
    DELETE_RECORD(*d_pla_dc_);
  }
  tree_->Refresh();
}

}  // namespace qz
