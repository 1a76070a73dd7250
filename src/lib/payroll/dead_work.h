// The half-done work of a workstation that died inside a payroll process.
//
// A killed process leaves its changes in the tables with a journal beside
// them; the server engine undoes it when the next live process touches the
// data, the local engine only when a program starts. A workstation that is
// already running and runs the same process again would otherwise build on
// those rows (take a payroll's column, a summary line or a raise for done)
// and see its own work undone later, when the next program start rolls the
// dead journal back over it. So every payroll process undoes dead journals
// itself before it reads anything.
#pragma once

namespace qz {

// Rolls back every journal of a dead transaction of the installation (the
// live ones, this process's own included, are left alone). A rollback that
// could not finish is told once ("Alerta").
// REQUIRES: data layer started.
void UndoDeadTransactions();

}  // namespace qz
