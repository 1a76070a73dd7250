// What the expense distribution hands to the user: the workbook of the
// summary ("Crear Archivo") and the printed listings ("Imprimir Listado"),
// the summary by centre and account or the detail by employee. Both read
// the same summary rows, so the workbook and the printed totals agree.
#pragma once

#include <string>
#include <vector>

#include "lib/accounting/expense_distribution.h"
#include "lib/ui/print_document.h"

namespace qz {

inline constexpr const char* kExpenseTitle = "Distribución de Gastos de Planilla";

// The report's titles: the business name, the title and the listing's
// subtitle ("Rótulo :").
std::vector<std::string> ExpenseTitles(const std::string& business_name, const std::string& rotulo);

// Writes the summary as a workbook at `path` (a folder and a file name; a
// name that exists gets a numbered variant, and ".xls"/".xlsx" become
// ".xlsx"). One row per link and centre, centre by centre, then the totals.
// A run with errors writes nothing. Returns the path written, or "" (a
// folder that cannot be written is told to the user).
std::string WriteExpenseWorkbook(const ExpenseRun& run, const std::string& path,
                                 const std::vector<std::string>& titles);

// The printed summary: per centre ("División: "), its accounts with debit
// and credit, the centre's totals, and the grand total.
PrintDocument ExpenseSummaryDocument(const ExpenseRun& run, const std::vector<std::string>& titles);
// The printed detail: per centre the lines of each employee.
PrintDocument ExpenseDetailDocument(const ExpenseRun& run, const std::vector<std::string>& titles);

}  // namespace qz
