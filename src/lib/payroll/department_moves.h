// Whole-department data operations: carrying a department's code through
// every table that names it (a rename), removing a department with what it
// owns, counting what a removal takes, and copying a department's layout
// under a new code. They have no screen, so the department screens, the
// installation tool and the benchmarks share them.
//
// Codes are passed as the tables hold them (code-page bytes); they are
// blank-padded here to each field's width. Every row is changed through the
// data layer's record pattern (lock, change, release), so other workstations
// are waited for with the usual patience and the open transaction journals
// each row. A failure the data layer cannot wait out (a lock another user
// keeps inside a transaction, a refused write) is a qz::Fault, as everywhere
// in the data layer: its filename is the table that stopped the operation
// (FaultTable). None of these functions starts or ends a transaction; see
// each one for the bracket its caller must hold.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lib/errors/fault.h"
#include "xbase/status.h"

namespace qz {

// Called as rows are changed: the table being worked on and how many rows
// the whole operation has changed so far. Called at the start of each table
// and every few hundred rows, so a screen can redraw its waiting window and
// pump its messages.
using DepartmentProgress = std::function<void(const std::string& table, int64_t rows)>;

struct RenameOptions {
  // Also move the department's own rows: the ENC_DEPT row, its columns
  // (DET_DEPT), sets (CONJ_COL) and provisions (DET_DEP2). The department
  // editor rewrites those itself when it saves; a rename without the editor
  // (the installation tool) asks for them here.
  bool own_rows = false;
  DepartmentProgress progress;
};

// Rows moved per table, in the order the tables were visited.
struct MoveCount {
  std::string table;
  int64_t rows = 0;
};

struct RenameResult {
  std::vector<MoveCount> tables;
  int64_t rows = 0;  // all tables together
};

// Gives every row that names department `old_code` of business `negocio` the
// code `new_code`: the employees (ENC_PERS), their personnel actions
// (ACCIONES, and the archived ones of ACCI_OLD), the debt lines (DET_DDA), the
// accounting links by position (MAP_PLA), the department's cost-centre
// distribution (DET_DEP3) and its whole payroll history: the rows of H_E_PERS,
// H_D_DEPT, H_D_DEP2, H_E_TIP, H_D_TIP, H_TIP_PL, H_CONJ_C, H_TIEM_E, H_TIP_TR
// and H_D_DEP3, then the payroll headers (H_E_DEPT). The employees' own
// history rows (H_D_PERS and its kin) are keyed by the employee, not the
// department, and follow through H_E_PERS. Rows are walked in the order of a
// tag that starts with the department, and the walk steps to the next row
// before the current one changes its key. A table of the suite that this
// installation lacks (ACCIONES, DET_DDA, ACCI_OLD, MAP_PLA) is skipped.
//
// REQUIRES: the caller holds an open transaction (START_ATOMIC_TRANSACTION),
// which it ends or rolls back: a rename stopped halfway would leave a
// department whose employees and history are split between two codes. This
// function never starts or ends one, so it runs inside the editor's save
// together with the rest of the department's new state.
// REQUIRES: `new_code` is not the code of another department (the caller has
// checked it); `old_code` != `new_code`. A `new_code` that still has payroll
// headers (a department deleted since, whose history stays) is refused with
// a Fault on H_E_DEPT before anything moves: the two histories would mix.
RenameResult RenameDepartment(const std::string& negocio, const std::string& old_code,
                              const std::string& new_code, const RenameOptions& options = {});

// What removing a department takes with it, for the confirmation.
struct DepartmentCounts {
  int64_t employees = 0;
  int64_t employee_rows = 0;  // their value rows, cost-centre splits and daily grids
  int64_t layout_rows = 0;    // DET_DEPT, DET_DEP2, CONJ_COL, DET_DEP3, MAP_PLA
  int64_t payrolls = 0;       // payroll headers (H_E_DEPT) of the department
  int64_t history_rows = 0;   // its rows in the history tables, headers included
};

// Reads only; needs no transaction.
DepartmentCounts CountDepartment(const std::string& negocio, const std::string& code);

// Deletes department `code`: its columns (DET_DEPT), provisions (DET_DEP2),
// sets (CONJ_COL), cost-centre distribution (DET_DEP3) and accounting links by
// position (MAP_PLA); every employee of the department with the rows the
// employee owns (value rows DET_PERS, cost-centre splits DET_PER3, daily grids
// DET_PER2); finally the ENC_DEPT row. The payroll history stays: it is what
// was paid. Returns what was deleted (payrolls and history_rows stay 0).
//
// REQUIRES: an open transaction (START_ATOMIC_TRANSACTION), ended or rolled
// back by the caller: half a department (employees without value rows, or
// a department without its columns) is worse than none.
DepartmentCounts DeleteDepartment(const std::string& negocio, const std::string& code,
                                  const DepartmentProgress& progress = nullptr);

// Copies department `source` as `new_code` / `descrip`: a new ENC_DEPT row
// with every field of the source, and each DET_DEPT, DET_DEP2 and CONJ_COL
// row of the source once, with DEPTO = `new_code`. Employees are not copied.
// Exists when `new_code` is taken, NotFound when `source` does not
// exist (nothing written in either case); otherwise the rows copied.
//
// REQUIRES: an open transaction, ended or rolled back by the caller.
xb::Result<int64_t> DuplicateDepartment(const std::string& negocio, const std::string& source,
                                        const std::string& new_code, const std::string& descrip,
                                        const DepartmentProgress& progress = nullptr);

// The table a data-layer fault names ("H_D_DEPT"), or "" when it names none.
std::string FaultTable(const Fault& f);

}  // namespace qz
