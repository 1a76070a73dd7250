// The distribution of payroll expenses to cost centres ("Distribución de
// Gastos de Planilla"): the current payroll of some departments, computed
// from the employees' current column values, turned into accounting lines
// through the accounting links and the cost-centre splits, balanced per
// group. No table is written: the lines are kept in memory and handed to the
// workbook and the printed listings (expense_output.h), so a benchmark or a
// batch can run the same computation as the screen.
//
// Amounts are in the departments' currencies converted into the currency the
// run is booked in. Each line is rounded to cents, as the accounting entry
// stores it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qz {

// The payment methods of an employee (ENC_PERS TIPO_PAGO).
enum ExpensePayment {
  kPagoEfectivo = 0,
  kPagoChequeIndividual = 2,
  kPagoElectronico = 3,
  kPagoChequeTotalizado = 4,
};

// The groups lines are balanced in.
enum ExpenseGroup { kGrupoPagar = 0, kGrupoRetencion = 1, kGrupoNetoCero = 2 };

// Differences between debits and credits up to this much are absorbed.
inline constexpr double kExpenseTolerance = 1.0;

struct ExpenseRequest {
  std::string negocio;              // business (UTF-8, padded or not)
  std::vector<std::string> deptos;  // department codes
  int forma_pago = kPagoElectronico;
  bool todas_las_formas = false;  // every payment method (the validation pass)
  std::string moneda;             // currency the lines are booked in
  int32_t fecha = 0;              // the pay date ("Fecha Emisión"), Julian day
  // Called per employee with (done, total); false stops the employee loop
  // (what was computed is kept). May be empty.
  std::function<bool(int64_t done, int64_t total)> progress;
};

struct ExpenseLine {
  int grupo = kGrupoPagar;
  std::string depto;     // trimmed codes, UTF-8 texts
  std::string empleado;  // "" for none
  std::string nombre;    // the employee's name
  std::string liga;      // link code ("" for a line on an own account)
  std::string cuenta;    // account, 15 characters
  std::string centro;    // cost-centre code
  double monto = 0;      // rounded to cents
  double porcentaje = 0;
  bool individual = false;  // booked on the employee column's own account
  bool debito = false;      // the side: the link's TIPO, or the column's AFECTA_CON
  std::string modulo;       // "06" payroll, "04" banks
  std::string columna;      // column code ("" for payments and adjustments)
  std::string comenta;
  std::string c_analiza;
  std::string txt_cuenta;  // the link's description, or the own account's
};

// One problem the validation found, with where it was met.
struct ExpenseError {
  std::string text;  // what the user is shown
  std::string depto, empleado, columna;
};

struct ExpenseCentre {
  std::string codigo, prefijo, descrip;
};

struct ExpenseRun {
  std::vector<ExpenseLine> lines;
  std::vector<ExpenseCentre> centres;  // in first-use order
  double a_pagar = 0;                  // the payable total (positive nets)
  double retenido = 0;                 // the withholding total (negative nets)
  bool neto_cero = false;              // an employee had a net of exactly 0
  int empleados = 0;                   // employees included
  bool cancelled = false;
  std::vector<ExpenseError> errors;
};

// Computes the marked departments' employees of the payment method (or of
// every method), then balances each group. A table that cannot be opened is
// a fault (thrown, for the caller's RunOperation).
ExpenseRun ComputeExpenseDistribution(const ExpenseRequest& request);

// The validation pass: each department computed on its own over every
// payment method, its problems collected, and each of its groups whose
// debits and credits still differ after balancing reported.
std::vector<ExpenseError> ValidateExpenseDistribution(const ExpenseRequest& request);

// --- balancing (expense_balance.cc)

struct GroupSums {
  double debitos = 0, creditos = 0;
};
GroupSums SumGroup(const std::vector<ExpenseLine>& lines, int grupo);
// Absorbs a difference of at most `tolerance` in the group: the payable and
// withholding groups on their first debit line, the zero-net group on its
// first credit line, lines taken in link order. Returns whether a line
// changed. Equal sums and larger differences leave the lines as they are.
bool BalanceGroup(std::vector<ExpenseLine>& lines, int grupo, double tolerance = kExpenseTolerance);
// Balances the groups the run has (payable when its total is positive, and
// so on).
void BalanceRun(ExpenseRun& run);

// The amount as the listings show it ("999,999,999.99").
std::string ExpenseAmountText(double amount);

// One row of the summary: a link (or own account) and a centre.
struct ExpenseSummaryRow {
  std::string centro, prefijo, cuenta, descripcion;
  double debito = 0, credito = 0;
};
// Rows centre by centre in first-use order, inside a centre by link (own
// accounts by account): what the workbook and the printed summary show.
std::vector<ExpenseSummaryRow> SummarizeExpenses(const ExpenseRun& run);

}  // namespace qz
