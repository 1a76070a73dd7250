// Opening a payroll period ("Consolidar" of "Iniciar Planilla", and
// `qzadmin consolidate`): everything that defines how one department's
// payroll is computed is frozen under the payroll date into the history
// tables (H_*), with one payroll line and its column values per active
// employee. Every later process reads that payroll only from these copies.
//
// The opening is all or nothing: it runs inside an atomic transaction
// (transaction.h), so a failure, a cancel or a killed process leaves no row
// of that payroll behind, whatever the engine. Before anything is written it
//   - waits for the department's row (ENC_DEPT) and keeps it locked to the
//     end, so two workstations cannot open the same payroll: the second one
//     finds the first one's header and is refused;
//   - refuses a date that already has a payroll of the department;
//   - refuses a department whose payroll type or any column type (of its
//     columns or of its employees' value rows) does not exist, naming it;
//   - locks every active employee of the department (so nobody changes a
//     salary while it is copied) and names those another user holds.
// The rows shared by the departments of a business (cost tables H_E_COST /
// H_D_COST and column groups H_GRP_C, once per business and date) are copied
// under the file lock of H_E_COST, held to the end of the transaction, so two
// departments opened at once copy them once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qz {

struct ConsolidationRequest {
  std::string negocio;  // business code (UTF-8, padded or not)
  std::string depto;    // department code
  int32_t fecha = 0;    // payroll date, as a Julian day number (xBase dates)
  // Called as the work goes: `done` of `total` steps (the definitions, each
  // employee, the shared rows). Returning false stops the opening; what was
  // written is undone. May be empty.
  std::function<bool(int64_t done, int64_t total)> progress;
};

enum class ConsolidationOutcome {
  kDone,              // "Fin de Proceso"
  kInvalidDate,       // no date given
  kNoDepartment,      // the department does not exist
  kAlreadyExists,     // "Ya existe una planilla para la fecha escogida"
  kMissingDefinition, // a payroll type or column type does not exist
  kLockedEmployees,   // employees held by another user
  kCancelled,         // the progress callback asked to stop
  kFailed,            // a write failed; the error handler reported it
};

struct ConsolidationResult {
  ConsolidationOutcome outcome = ConsolidationOutcome::kFailed;
  // What the user is told (UTF-8), its title and MESSAGE_BOX style: the
  // screen and the batch show the same text.
  std::string message;
  std::string title;
  int style = 0;
  int lines = 0;               // payroll lines written (H_E_PERS)
  bool shared_copied = false;  // this opening copied the cost tables and groups
  bool ok() const { return outcome == ConsolidationOutcome::kDone; }
};

// The text of the progress window while the opening runs.
inline constexpr const char* kConsolidationWaitText = "Procesando Datos...";

// Opens the payroll of `request.depto` on `request.fecha` for the business.
// REQUIRES: the data layer is started (StartDataLayer) and no transaction is
// open. Faults the error handler has not seen yet (a table that cannot be
// opened) are thrown on after the rollback, for the caller's RunOperation;
// faults it has reported (a refused write: it rolled back and asked) end
// with kFailed.
ConsolidationResult ConsolidatePayroll(const ConsolidationRequest& request);

// Shows the result's message through MESSAGE_BOX (nothing for kFailed: the
// error handler has shown it).
void ShowConsolidationResult(const ConsolidationResult& result);

}  // namespace qz
