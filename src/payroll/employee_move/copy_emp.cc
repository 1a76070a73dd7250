#include "payroll/employee_move/copy_emp.h"

#include <vector>

#include "lib/errors/error_handler.h"
#include "lib/payroll/employee_move.h"
#include "lib/payroll/employee_move_columns.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/cell_click.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "payroll/departments/atomic_run.h"
#include "payroll/employee_move/b_cols.h"
#include "xbase/value.h"

namespace qz {
namespace {

constexpr const char* kMarkText = "✓";

}  // namespace

COPY_EMP::COPY_EMP(Desktop& desktop, const std::string& template_name,
                   const std::string& business)
    : ProcessScreen(desktop, template_name, business) {}

COPY_EMP::~COPY_EMP() {
  if (grid_) ClearCellClicks(*grid_);
}

bool COPY_EMP::AbrirBases() {
  return Open(enc_pers_, "ENC_PERS") && Open(negocios_, "NEGOCIOS") && Open(f_plan_, "F_PLAN") &&
         Open(depts_, "ENC_DEPT");
}

void COPY_EMP::MakeGrids() {
  grid_ = std::make_unique<WBLISTBOX>(*this, kEmpleados, &enc_pers_->table());
}

void COPY_EMP::Configure() {
  xb::Table& fp = f_plan_->table();
  const bool by_name = SeekPrefix(fp, "F_PLAN", negocio_) && Number(fp, "ORDEN_TREE") == 1;
  SetCheck(by_name ? kPorDescripcion : kPorCodigo, 1);
  SetCheck(kTodos, 1);
  ADD(kPorCodigo, [this] { BuildTree(); });
  ADD(kPorDescripcion, [this] { BuildTree(); });
  for (int filter : {kTodos, kActivos, kInactivos}) ADD(filter, [this] { Scope(); });
  BuildTree();
  BuildGrid();
  CCOMBOBOX business(*this, kNegocio);
  xb::Table& t = negocios_->table();
  (void)t.SetOrder("NEGOCIOS");
  for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1)) {
    const std::string code = PadRight(Bytes(t, "CODIGO"), 15);
    if (code != negocio_) business.ADD(FieldText(t, "DESCRIP"), code);
  }
  ADD(kNegocio, [this] { FillDepartments(); });
  ADD(kTrasladar, [this] { Trasladar(); });
}

void COPY_EMP::BuildTree() {
  const bool by_code = Check(kPorCodigo) == 1;
  if (!tree_) {
    tree_ = std::make_unique<TreeModel>(*this, kTree, TreeModel::Mode::kSingle);
    tree_->on_click = [this](TreeNode* n) {
      if (!n) return;
      depto_ = n->leaf() ? n->cargo : "";
      Scope();
    };
    tree_->AddStandardContextEntries();
  }
  tree_->SetFill([this, by_code](TreeModel& tree) {
    TreeNode* root = tree.Add(nullptr, "Departamentos", "");
    dept_names_.clear();
    ForEachRow(enc_dept().table(), by_code ? "ENC_DEPT" : "ENC_DEPT3", negocio_,
               [&](xb::Table& t) {
                 const std::string code = Bytes(t, "CODIGO");
                 dept_names_[code] = FieldText(t, "DESCRIP");
                 if (Number(t, "INACTIVO") != 0) return;
                 tree.Add(root, FieldText(t, "DESCRIP"), code,
                          TrimRight(FromField(xb::Value::Char(code))));
               });
    tree.ExpandAll();
  });
  tree_->Refresh();
  AttachTree(kTree, tree_.get());
}

void COPY_EMP::BuildGrid() {
  WBLISTBOX& g = *grid_;
  g.AddColumn(" ", "CODIGO", "X");
  g.SetFormat(kMarkColumn, [this](const xb::Value& v) {
    return v.is_char() && marked_.count(v.str()) ? std::string(kMarkText) : std::string(" ");
  });
  SetCellClick(g, kMarkColumn, [this] { ToggleSelected(); });
  g.AddColumn("Identificación", "CODIGO", std::string(15, 'X'));
  g.AddColumn("Nombre", "NOMBRE", std::string(31, 'X'));
  g.AddColumn("Ingreso", "F_INICIO", "");
  g.AddColumn("Retiro", "F_RETIRO", "");
  g.AddColumn("Cédula", "CEDULA", std::string(15, 'X'));
  g.AddColumn("Seguro", "COD_SEGURO", std::string(15, 'X'));
  g.AddColumn("Departamento", "DEPTO", std::string(30, 'X'));
  g.SetFormat(7, [this](const xb::Value& v) {
    auto it = dept_names_.find(v.is_char() ? v.str() : std::string());
    return it == dept_names_.end() ? std::string() : it->second;
  });
  g.SHOWNUMBERS = false;
  Scope();
}

void COPY_EMP::Scope() {
  if (!grid_) return;
  // Sorted by name when the user last chose the name column.
  const int column = grid_->active_mark() == 2 ? 3 : 2;
  std::string mark;
  if (Check(kActivos) == 1) mark = "1";
  if (Check(kInactivos) == 1) mark = "0";
  std::vector<std::pair<int, std::string>> tags;
  std::string key = negocio_;
  if (!depto_.empty()) {
    key += depto_;
    tags = mark.empty() ? decltype(tags){{2, "ENC_PERS"}, {3, "ENC_PERS4"}}
                        : decltype(tags){{2, "ENC_PERS21"}, {3, "ENC_PERS22"}};
  } else {
    tags = mark.empty() ? decltype(tags){{2, "ENC_PERS2"}, {3, "ENC_PERS3"}}
                        : decltype(tags){{2, "ENC_PERS11"}, {3, "ENC_PERS12"}};
  }
  xb::Status st = grid_->BROWMARKS(tags, column, key + mark);
  if (!st.ok()) MESSAGE_BOX("No se pudo leer ENC_PERS\r\n" + st.message(), "Alerta", kMbIconStop);
}

void COPY_EMP::Mark(const std::string& code, bool on) {
  const std::string stored = PadRight(code, 15);
  if (on)
    marked_.insert(stored);
  else
    marked_.erase(stored);
  if (grid_) (void)grid_->Redraw();
}

bool COPY_EMP::Marked(const std::string& code) const {
  return marked_.count(PadRight(code, 15)) > 0;
}

void COPY_EMP::ToggleSelected() {
  const uint32_t rec = grid_->SelectedRecNo();
  xb::Table& t = enc_pers_->table();
  if (rec == 0 || !t.GoTo(rec).ok()) return;
  const std::string code = Bytes(t, "CODIGO");
  Mark(code, !Marked(code));
}

std::string COPY_EMP::Chosen(int combo) const {
  auto cargo = CCOMBOBOX(const_cast<COPY_EMP&>(*this), combo).CURCARGO();
  return cargo ? *cargo : std::string();
}

void COPY_EMP::FillDepartments() {
  CCOMBOBOX depts(*this, kDepto);
  depts.CLEAR();
  const std::string business = Chosen(kNegocio);
  if (business.empty()) return;
  ForEachRow(depts_->table(), "ENC_DEPT", business, [&](xb::Table& t) {
    depts.ADD(FieldText(t, "DESCRIP"), Bytes(t, "CODIGO"));
  });
}

void COPY_EMP::Trasladar() {
  if (marked_.empty()) return Refuse(kNoEmployees);
  EmployeeMoveRequest request;
  request.source = negocio_;
  request.target = Chosen(kNegocio);
  if (request.target.empty()) return Refuse(kNoBusiness);
  request.target_depto = Chosen(kDepto);
  if (request.target_depto.empty()) return Refuse(kNoDepartment);
  request.prefix = ToField(Text(kPrefijo), 15);
  request.employees.assign(marked_.begin(), marked_.end());

  std::unique_ptr<MoveColumns> columns;
  std::vector<ColumnMapping> map;
  std::string problem;
  RunOperation([&] {
    problem = MoveProblem(request);
    if (!problem.empty()) return;
    Progress progress(this, "Procesando Datos", false);
    columns = std::make_unique<MoveColumns>(request.source, request.target, request.target_depto);
    map = BuildColumnMap(*columns, request.source, request.employees);
  });
  if (!problem.empty()) {
    Refuse(problem);
    // The target business's departments as they are now.
    if (problem == kTargetDepartmentGone) FillDepartments();
    return;
  }
  if (!columns || !B_COLS::Run(this, *columns, map)) return;
  for (const ColumnMapping& m : map) request.columns[m.source] = m.target;
  // Now that the kept columns are known: the counters their debts need.
  RunOperation([&] { problem = MoveProblem(request); });
  if (!problem.empty()) {
    Refuse(problem);
    if (problem == kTargetDepartmentGone) FillDepartments();
    return;
  }

  ENABLEWINDOW(false);
  const bool done = RunAtomically("trasladar los empleados", [&] {
    Progress progress(this, "Procesando Datos", false);
    request.progress = [&progress](const std::string& text) {
      progress.SetText(text);
      progress.Step();
    };
    (void)MoveEmployees(request);
    progress.Close();
  });
  ENABLEWINDOW(true);
  if (done) marked_.clear();
  (void)grid_->Reread();
  (void)grid_->Redraw();
  if (done) Finished();
}

}  // namespace qz
