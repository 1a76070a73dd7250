// The frame of the payroll process screens: a window over the business's
// tables (opened with the window, closed when it goes), without "Editar"
// entries, with a department tree on control 900; and the run of a process
// as one all-or-nothing transaction under the waiting window, so a process
// stopped half-way (a row another workstation holds, a table that cannot be
// written) leaves the tables as they were and can simply be run again.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/ui/progress.h"
#include "lib/ui/tree.h"
#include "lib/ui/wdiag.h"
#include "payroll/department_tree.h"

namespace qz {

class ProcessScreen : public WDIAG {
 public:
  static constexpr int kAceptar = 1;
  static constexpr int kSalir = 2;
  static constexpr int kTree = 900;
  static constexpr int kMarcarTodos = 201;
  static constexpr int kQuitarTodos = 202;
  static constexpr const char* kFinDeProceso = "Fin de Proceso";
  static constexpr const char* kNoDepartment = "Falta seleccionar departamento(s) para Procesar ";

  ProcessScreen(Desktop& desktop, const std::string& template_name, const std::string& business);
  ~ProcessScreen() override;

  // Opens the tables and the window; false (window closed) when a table
  // cannot be opened.
  bool Init();
  void Terminar(int result = 2);
  void OnActivate() override;

  const std::string& negocio() const { return negocio_; }
  TreeModel* tree() const { return tree_.get(); }

 protected:
  // Opens the screen's own tables through Open(); ENC_DEPT is open already.
  virtual bool AbrirBases() = 0;
  // Grids, which the window system binds when it builds the window: made
  // before it is shown.
  virtual void MakeGrids() {}
  // Controls, lists and button blocks, once the window exists.
  virtual void Configure() = 0;

  // Opens `name` into `slot`, closed again with the window.
  bool Open(TablePtr& slot, const std::string& name);
  void CerrarBases();

  // The department tree (payroll/department_tree.h) on control 900, with
  // the standard context entries; its refresh reads the business's payroll
  // parameters again. Without a rule: every department sorted by caption.
  void BuildDepartmentTree(
      TreeModel::Mode mode,
      DepartmentTreeRule rule = DepartmentTreeRule::EveryDepartmentByCaption());
  // The marked leaves (multiple selection) or the clicked one (single), as
  // department codes padded to 15.
  std::vector<std::string> ChosenDepartments() const;
  // "Marcar Todos" / "Quitar Todos" on buttons 201 and 202.
  void AddMarkButtons();

  // Runs `body` inside one transaction under the waiting window: true when
  // it was committed. A fault inside rolls everything back; the error
  // handler tells the user.
  bool RunAtomic(const std::string& text, const std::function<void(Progress&)>& body);
  // Inside RunAtomic's body: locks the current row of `t` (waiting as for
  // any record) and keeps it locked until the run is committed or rolled
  // back, whether the body changes it or not. A look-then-add on the rows
  // below a header (does this payroll have the column yet?) is made under
  // its header's lock, so two workstations doing it at once take turns and
  // the second sees what the first added.
  void HoldUntilRunEnds(WDBTable& t);

  void Refuse(const std::string& text);  // "Error", stop icon
  void Finished();                       // "Fin de Proceso"

  WDBTable& enc_dept() { return *enc_dept_; }

  std::string negocio_;  // padded to 15
  std::unique_ptr<TreeModel> tree_;

 private:
  TablePtr enc_dept_;
  TablePtr tree_parameters_;  // F_PLAN, for a tree that follows the parameters
  std::vector<TablePtr*> tables_;
  std::vector<WDBTable*> held_;  // tables with rows HoldUntilRunEnds locked
};

// Helpers over the table bytes the processes read and write.
std::string Bytes(const xb::Table& t, const char* field);  // raw, blank-padded
double Number(const xb::Table& t, const char* field);
int32_t DateOf(const xb::Table& t, const char* field);
// Positions `t` on the first row whose key on `tag` starts with `prefix`;
// false when there is none.
bool SeekPrefix(xb::Table& t, const std::string& tag, const std::string& prefix);
// Calls `fn` for each row whose key on `tag` starts with `prefix`. The rows
// are collected first, so `fn` may write and move the table.
void ForEachRow(xb::Table& t, const std::string& tag, const std::string& prefix,
                const std::function<void(xb::Table&)>& fn);
// Appends a locked row to `to` holding every field `from`'s current record
// shares with it (except those `skip` names); the caller sets the rest and
// releases it with UNLOCK_FOR_MODIFY.
void AppendCopy(const xb::Table& from, WDBTable& to, const std::vector<std::string>& skip = {});
void Put(WDBTable& t, const char* field, xb::Value v);

}  // namespace qz
