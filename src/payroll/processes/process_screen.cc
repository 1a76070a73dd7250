#include "payroll/processes/process_screen.h"

#include <algorithm>

#include "lib/data/locking.h"
#include "lib/data/transaction.h"
#include "lib/errors/error_handler.h"
#include "lib/data/journal.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"

namespace qz {

ProcessScreen::ProcessScreen(Desktop& desktop, const std::string& template_name,
                             const std::string& business)
    : WDIAG(desktop, nullptr, template_name), negocio_(PadRight(business, 15)) {}

ProcessScreen::~ProcessScreen() {
  // The screen's own table handles are members of the derived class, gone
  // by now (their destruction closes them); only ours is left.
  OnNCDestroy = nullptr;
  CloseTable(enc_dept_);
  CloseTable(tree_parameters_);
}

bool ProcessScreen::Init() {
  if (!Open(enc_dept_, "ENC_DEPT") || !AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(kSalir, [this] { Terminar(kSalir); });
  MakeGrids();
  OnNCDestroy = [this] { CerrarBases(); };
  if (!CREATE().ok()) return false;
  Configure();
  return true;
}

bool ProcessScreen::Open(TablePtr& slot, const std::string& name) {
  tables_.push_back(&slot);
  slot = OpenTable(this, name);
  return slot != nullptr;
}

void ProcessScreen::CerrarBases() {
  for (TablePtr* t : tables_) CloseTable(*t);
}

void ProcessScreen::Terminar(int result) {
  ENDDIALOG(result);
}

void ProcessScreen::OnActivate() {
  // A process screen has no "Editar" entries.
  desktop().MENUSET(0, this, negocio_);
}

void ProcessScreen::BuildDepartmentTree(TreeModel::Mode mode, DepartmentTreeRule rule) {
  const bool reads_parameters =
      rule.order == DepartmentTreeRule::Order::kParameters || !rule.picture || !rule.margin;
  if (reads_parameters && !tree_parameters_) (void)Open(tree_parameters_, "F_PLAN");
  tree_ = std::make_unique<TreeModel>(*this, kTree, mode);
  SetDepartmentFill(*tree_, enc_dept_->table(),
                    tree_parameters_ ? &tree_parameters_->table() : nullptr, negocio_,
                    std::move(rule));
  tree_->Refresh();
  tree_->AddStandardContextEntries();
  AttachTree(kTree, tree_.get());
}

std::vector<std::string> ProcessScreen::ChosenDepartments() const {
  std::vector<std::string> out;
  if (!tree_) return out;
  if (tree_->mode() == TreeModel::Mode::kMultiple) {
    for (TreeNode* n : tree_->MarkedLeaves())
      if (!n->cargo.empty()) out.push_back(n->cargo);
  } else if (TreeNode* n = tree_->selected(); n && n->leaf() && !n->cargo.empty()) {
    out.push_back(n->cargo);
  }
  return out;
}

void ProcessScreen::AddMarkButtons() {
  ADD(kMarcarTodos, [this] {
    if (tree_) tree_->SetMarked(tree_->root(), true);
  });
  ADD(kQuitarTodos, [this] {
    if (tree_) tree_->ClearMarks();
  });
}

bool ProcessScreen::RunAtomic(const std::string& text,
                              const std::function<void(Progress&)>& body) {
  bool committed = false;
  RunOperation([&] {
    UndoDeadTransactions();
    Progress progress(this, text, false);
    START_ATOMIC_TRANSACTION();
    body(progress);
    progress.Close();
    END_TRANSACTION();
    committed = true;
  });
  // The held headers go only now: until the commit (or the rollback) a
  // workstation waiting for them must not read what this run added.
  for (WDBTable* t : held_)
    if (t->Used()) (void)t->table().UnlockAll();
  held_.clear();
  return committed;
}

void ProcessScreen::HoldUntilRunEnds(WDBTable& t) {
  LOCK_WITHOUT_LOG(t);
  if (std::find(held_.begin(), held_.end(), &t) == held_.end()) held_.push_back(&t);
}

void ProcessScreen::Refuse(const std::string& text) {
  MESSAGE_BOX(text, "Error", kMbIconStop);
}

void ProcessScreen::Finished() {
  MESSAGE_BOX(kFinDeProceso, "", kMbIconInformation);
}

std::string Bytes(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

double Number(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

int32_t DateOf(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->type() == xb::Value::Type::kDate ? v->date() : 0;
}

bool SeekPrefix(xb::Table& t, const std::string& tag, const std::string& prefix) {
  if (!t.SetOrder(tag).ok()) return false;
  if (!t.Seek(xb::Value::Char(prefix), true).ok() || t.Eof()) return false;
  auto key = t.CurrentKey();
  return key.ok() && key->compare(0, prefix.size(), prefix) == 0;
}

void ForEachRow(xb::Table& t, const std::string& tag, const std::string& prefix,
                const std::function<void(xb::Table&)>& fn) {
  std::vector<uint32_t> rows;
  const xb::Value key = xb::Value::Char(prefix);
  if (!t.SetOrder(tag).ok() || !t.SetScope(key, key).ok()) return;
  for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1)) rows.push_back(t.RecNo());
  (void)t.ClearScope();
  for (uint32_t r : rows)
    if (t.GoTo(r).ok() && !t.Eof()) fn(t);
}

void AppendCopy(const xb::Table& from, WDBTable& to, const std::vector<std::string>& skip) {
  ADD_NEW_REC(to);
  xb::Table& t = to.table();
  for (const auto& f : t.fields()) {
    if (from.FieldIndex(f.name) < 0) continue;
    bool skipped = false;
    for (const auto& s : skip) skipped = skipped || s == f.name;
    if (skipped) continue;
    auto v = from.Get(f.name);
    if (v.ok()) (void)t.Put(f.name, *v);
  }
}

void Put(WDBTable& t, const char* field, xb::Value v) {
  if (t.table().FieldIndex(field) >= 0) (void)t.table().Put(field, v);
}

}  // namespace qz
