#include "accounting/map_pla.h"

#include "accounting/e_mappla.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/catalog_edit_window.h"

namespace qz {
namespace {

// Links of the payroll module are keyed business + "06" padded to 9 + code.
const std::string kPayrollModule = std::string("06") + std::string(7, ' ');

CatalogSetup Setup() {
  CatalogSetup s;
  s.name = "MAP_PLA";
  s.table = "MAP_PLA";
  s.tag = "MAP_PLA";
  s.key_width = 15;
  s.menu_id = MAP_PLA::kMenuId;
  s.columns = {{"Puesto", "PUESTO", "XXXX"},
               {"Descripción", "PUESTO", std::string(30, 'X')},
               {"Col", "COD_COLUMN", "XX"},
               {"Descripción", "COD_COLUMN", std::string(30, 'X')},
               {"Liga", "LIGA_CONTA", std::string(10, 'X')},
               {"Descripción", "LIGA_CONTA", std::string(30, 'X')}};
  s.check_duplicates = false;
  s.delete_question = "¿Desea borrar el item?";
  return s;
}

}  // namespace

MAP_PLA::MAP_PLA(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

MAP_PLA::~MAP_PLA() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool MAP_PLA::AbrirBases() {
  if (!CatalogScreen::AbrirBases()) return false;
  enc_dept_ = OpenTable(this, "ENC_DEPT");
  puestos_ = OpenTable(this, "PUESTOS");
  enc_tip_ = OpenTable(this, "ENC_TIP");
  ligas_ = OpenTable(this, "LIGAS");
  if (!enc_dept_ || !puestos_ || !enc_tip_ || !ligas_) return false;
  if (!puestos_->table().SetOrder(1).ok() || !enc_tip_->table().SetOrder(1).ok() ||
      !ligas_->table().SetOrder("LIGA3").ok())
    return false;
  tree_ = std::make_unique<TreeModel>(*this, kTree);
  tree_->SetFill([this](TreeModel& t) { FillTree(t); });
  tree_->AddStandardContextEntries();
  tree_->on_click = [this](TreeNode* n) {
    if (n) SelectDepartment(n->cargo);
  };
  return true;
}

void MAP_PLA::CerrarBases() {
  tree_.reset();
  CloseTable(enc_dept_);
  CloseTable(puestos_);
  CloseTable(enc_tip_);
  CloseTable(ligas_);
  CatalogScreen::CerrarBases();
}

void MAP_PLA::FillTree(TreeModel& tree) {
  xb::Table& t = enc_dept_->table();
  std::optional<xb::Value> scope = xb::Value::Char(Negocio());
  if (!t.SetOrder(1).ok() || !t.SetScope(scope, scope).ok()) return;
  TreeNode* top = tree.Add(tree.root(), "Departamentos", std::string(15, 'X'));
  top->expanded = true;
  for (t.GoTop(); !t.Eof(); t.Skip(1))
    tree.Add(top, FieldText(t, "CODIGO") + " - " + FieldText(t, "DESCRIP"),
             FieldBytes(t, "CODIGO"));
  t.SetScope(std::nullopt, std::nullopt);
}

std::string MAP_PLA::Describe(WDBTable* t, const std::string& infix, const xb::Value& code) const {
  if (!t || !code.is_char()) return {};
  xb::Table& lookup = t->table();
  if (!lookup.Seek(xb::Value::Char(Negocio() + infix + code.str())).ok() || !lookup.Found())
    return {};
  return FieldText(lookup, "DESCRIP");
}

void MAP_PLA::MontarColumnas() {
  CatalogScreen::MontarColumnas();
  oB()->SetFormat(1, [this](const xb::Value& v) { return Describe(puestos_.get(), "", v); });
  oB()->SetFormat(3, [this](const xb::Value& v) { return Describe(enc_tip_.get(), "", v); });
  oB()->SetFormat(5,
                  [this](const xb::Value& v) { return Describe(ligas_.get(), kPayrollModule, v); });
}

void MAP_PLA::ConfigBrow() {
  CatalogScreen::ConfigBrow();
  tree_->Refresh();
  // The first department is shown until another is clicked, so a new row
  // always has one to start with.
  const TreeNode* top = tree_->root()->children.empty() ? nullptr
                                                        : tree_->root()->children.front().get();
  SelectDepartment(top && !top->children.empty() ? top->children.front()->cargo
                                                 : std::string(15, ' '));
}

void MAP_PLA::SelectDepartment(const std::string& code) {
  if (code == std::string(15, 'X')) return;  // the "Departamentos" branch itself
  department_ = code;
  if (TreeNode* n = tree_->Find(code); n && tree_->selected() != n) {
    auto click = std::move(tree_->on_click);
    tree_->Click(n);
    tree_->on_click = std::move(click);
  }
  BROWMARKS(*oB(), {{1, setup().tag}}, 1, Negocio() + department_);
}

void MAP_PLA::OpenEditor(int mode) {
  auto editor = std::make_unique<E_MAPPLA>(*this, mode);
  E_MAPPLA* raw = editor.get();
  desktop().Adopt(std::move(editor));
  if (!raw->Init()) raw->ENDDIALOG(2);
}

void MAP_PLA::Add() {
  OpenEditor(0);
}

void MAP_PLA::Modify() {
  if (!HasCurrentRow()) {
    NoRowToModify();
    return;
  }
  OpenEditor(1);
}

bool MAP_PLA::DoOperation(const std::string& name) {
  if (!window_enabled()) return true;
  if (name == "AGREGAR_MAP") {
    Add();
  } else if (name == "MODIFICAR_MAP") {
    Modify();
  } else if (name == "BORRAR_MAP") {
    Delete();
  } else {
    return false;
  }
  return true;
}

}  // namespace qz
