// Moving employees from one business of the installation to a department of
// another: each employee's record, value rows, debtor record and debt
// transactions are re-keyed to the target business under a new code, and
// every past payroll line goes with them, the payroll's frozen definition
// being copied into the target department for each date it lacks.
//
// The whole move is one atomic transaction (Atomically): stopped anywhere
// (a row another workstation holds, a write refused) it leaves both
// businesses as they were, and running it again moves every row once.
// Daily grids (DET_PER2, H_D_PER2) and current cost-centre splits (DET_PER3)
// stay under the old business and code.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qz {

// The employee's code in the target business: the first 15 characters of
// the trimmed prefix, "-", the trimmed old code, all cut or padded to 15.
std::string NewEmployeeCode(const std::string& prefix, const std::string& old_code);

struct EmployeeMoveRequest {
  std::string source;  // business codes (padded here)
  std::string target;
  std::string target_depto;
  std::string prefix;
  std::vector<std::string> employees;  // codes in the source business
  // Source column -> target column (blank or absent: the values are dropped).
  std::map<std::string, std::string> columns;
  // Told what is being worked on ("Procesando :" + code, "Historico: " + date).
  std::function<void(const std::string&)> progress;
};

struct EmployeeMoveResult {
  std::vector<std::string> new_codes;  // in the order of the request
  int payrolls_copied = 0;             // payroll definitions copied into the target
  int history_lines = 0;               // payroll lines moved
  int debts = 0;                       // debt transactions moved
};

// The target department was deleted by another workstation after the
// screen listed it.
inline constexpr const char* kTargetDepartmentGone = "El departamento destino ya no existe";

// What stops a move before anything is written, in the words the user
// reads; "" when nothing does: a target department that no longer exists
// (kTargetDepartmentGone); two employees that would get the same new
// code; a new code the target business already has, for an employee or for
// past payroll lines (two people's histories would mix); a debt whose
// concept names a serial counter the target business lacks (new transaction
// codes could not be issued; checked for the columns `request.columns`
// keeps, so asked again once the mapping is known).
std::string MoveProblem(const EmployeeMoveRequest& request);

// Runs the move in one transaction (joining the caller's when one is open).
// A failure is a qz::Fault, after the transaction it owns was rolled back.
// REQUIRES: MoveProblem(request) is "".
EmployeeMoveResult MoveEmployees(const EmployeeMoveRequest& request);

}  // namespace qz
