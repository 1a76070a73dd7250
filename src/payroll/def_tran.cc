#include "payroll/def_tran.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"

namespace qz {

DEF_TRAN::DEF_TRAN(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

DEF_TRAN::~DEF_TRAN() {
  tree_.reset();
}

CatalogSetup DEF_TRAN::Setup() {
  CatalogSetup s;
  s.name = "DEF_TRAN";
  s.table = "TRANS_B";
  s.tag = "TRANS_B2";  // business + bank + code: the grid shows one bank
  s.key_width = 15;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", std::string(16, 'X')},
               {"Descripción ", "DESCRIP", std::string(50, 'X')}};
  s.check_duplicates = false;  // tested on the business + code tag (CodeTaken)
  s.delete_question = kDeleteQuestion;
  s.edit_template = "E_TRANSACCION";
  return s;
}

bool DEF_TRAN::AbrirBases() {
  if (!CatalogScreen::AbrirBases()) return false;
  by_code_ = OpenTable(this, "TRANS_B");
  TablePtr banks = OpenTable(this, "BANCOS");
  if (!by_code_ || !banks || !INIT().ok()) {
    CloseTable(banks);
    return false;
  }
  // The tree exists before the window shows, so it is drawn with the banks.
  tree_ = std::make_unique<TreeModel>(*this, kBancos);
  xb::Table& b = banks->table();
  std::optional<xb::Value> scope = xb::Value::Char(Negocio());
  if (b.SetOrder("BANCOS").ok() && b.SetScope(scope, scope).ok()) {
    for (b.GoTop(); !b.Eof(); b.Skip(1)) {
      auto code = b.Get("CODIGO");
      tree_->Add(nullptr, FieldText(b, "DESCRIP"), code.ok() ? FromField(*code) : "",
                 FieldText(b, "CODIGO"));
    }
  }
  CloseTable(banks);
  tree_->on_click = [this](TreeNode* n) {
    if (n) SelectBank(n->cargo);
  };
  return true;
}

void DEF_TRAN::CerrarBases() {
  CloseTable(by_code_);
  CatalogScreen::CerrarBases();
}

void DEF_TRAN::ConfigBrow() {
  CatalogScreen::ConfigBrow();
  // The first bank is shown until the user picks another.
  TreeNode* first = tree_ && !tree_->root()->children.empty()
                        ? tree_->root()->children.front().get()
                        : nullptr;
  if (first) {
    tree_->Click(first);
  } else {
    SelectBank("");
  }
}

void DEF_TRAN::SelectBank(const std::string& bank) {
  xb::Table& t = *main_table();
  bank_ = ToField(bank, FieldWidth(t, "BANCO"));
  // With no bank the scope is one no row can have.
  std::string scope = bank.empty() ? Negocio() + std::string(1, '\xff') : Negocio() + bank_;
  xb::Status st = oB()->BROWMARKS({{1, setup().tag}}, 1, scope);
  if (!st.ok())
    MESSAGE_BOX("No se pudo leer TRANS_B\r\n" + st.message(), "Alerta", kMbIconStop);
}

void DEF_TRAN::Add() {
  if (TrimRight(bank_).empty()) {
    MESSAGE_BOX(kNoBank, "Aviso", kMbIconInformation);
    return;
  }
  CatalogScreen::Add();
}

bool DEF_TRAN::CodeTaken(const std::string& code, int mode) {
  xb::Table& t = by_code_->table();
  std::string key = Negocio() + code;
  if (!t.SetOrder("TRANS_B").ok() || !t.Seek(xb::Value::Char(key)).ok()) return false;
  for (; !t.Eof(); t.Skip(1)) {
    auto business = t.Get("NEGOCIO");
    auto c = t.Get("CODIGO");
    if (!business.ok() || !c.ok() || business->str() + c->str() != key) break;
    // Modifying: the row itself does not count.
    if (mode == 0 || t.RecNo() != Registro) return true;
  }
  return false;
}

bool DEF_TRAN::SaveEdit(WDIAG& dlg, int mode) {
  std::string code = CodeFromText(dlg.Text(500));
  if (!TrimRight(code).empty() && CodeTaken(code, mode)) {
    MESSAGE_BOX(kDuplicate, "Error", kMbIconStop);
    return false;
  }
  return CatalogScreen::SaveEdit(dlg, mode);
}

void DEF_TRAN::WriteEditFields(WDIAG& dlg, xb::Table& t) {
  (void)dlg;
  // The grid shows one bank: the row belongs to it.
  t.Put("BANCO", xb::Value::Char(bank_));
}

}  // namespace qz
